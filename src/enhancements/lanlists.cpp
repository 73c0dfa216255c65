#include "enhancements/lanlists.h"

namespace enhancements {
namespace {

constexpr std::wstring_view kCourseTypes[] = {L"Morvex", L"Goal", L"15 Course Cont."};
constexpr std::wstring_view kCarTypes[] = {L"Morvex 2006", L"Morvex 2 SP"};

constexpr std::wstring_view kMorvexCourses[] = {L"Morvex 2", L"Morvex 2 SP"};
// Five goals per group; the groups run Morvex 2, Morvex 2 SP, then both reversed.
// clang-format off
constexpr std::wstring_view kGoalCourses[] = {
    L"Morvex 2 Goal A", L"Morvex 2 Goal B", L"Morvex 2 Goal C", L"Morvex 2 Goal D", L"Morvex 2 Goal E",
    L"Morvex 2 SP Goal A", L"Morvex 2 SP Goal B", L"Morvex 2 SP Goal C", L"Morvex 2 SP Goal D", L"Morvex 2 SP Goal E",
    L"Morvex 2 Goal A (Reverse)", L"Morvex 2 Goal B (Reverse)", L"Morvex 2 Goal C (Reverse)", L"Morvex 2 Goal D (Reverse)", L"Morvex 2 Goal E (Reverse)",
    L"Morvex 2 SP Goal A (Reverse)", L"Morvex 2 SP Goal B (Reverse)", L"Morvex 2 SP Goal C (Reverse)", L"Morvex 2 SP Goal D (Reverse)", L"Morvex 2 SP Goal E (Reverse)",
};
// clang-format on
constexpr std::wstring_view kContinuousCourses[] = {L"Morvex 2", L"Morvex 2 SP", L"Morvex 2 (Reverse)",
                                                    L"Morvex 2 SP (Reverse)"};

constexpr std::wstring_view kMorvex2006Classes[] = {L"Free Select", L"Novice", L"Intermediate",
                                                    L"Professional", L"Morvex"};
constexpr std::wstring_view kSpClasses[] = {L"Normal", L"Tuned"};

} // namespace

std::span<const std::wstring_view> courseTypes() {
    return kCourseTypes;
}
std::span<const std::wstring_view> carTypes() {
    return kCarTypes;
}

std::span<const std::wstring_view> coursesFor(int courseType) {
    switch (courseType) {
    case 0:
        return kMorvexCourses;
    case 1:
        return kGoalCourses;
    case 2:
        return kContinuousCourses;
    default:
        return {};
    }
}

std::span<const std::wstring_view> classesFor(int carType) {
    switch (carType) {
    case 0:
        return kMorvex2006Classes;
    case 1:
        return kSpClasses;
    default:
        return {};
    }
}

} // namespace enhancements
