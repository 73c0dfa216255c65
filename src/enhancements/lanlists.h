#pragma once
// The LAN lists whose entries depend on a type chosen beside them. The stored "LanCourse" and
// "LanCarClass" are positions in these lists, so their entries and order fix what a stored
// number means to the modification. Needs no Windows header, so it is tested natively.
#include <span>
#include <string_view>

namespace enhancements {

// The course types of cmbCourseType and the car types of cmbCarType, in list order.
std::span<const std::wstring_view> courseTypes();
std::span<const std::wstring_view> carTypes();

// The entries of cmbCourse for a course type position, or of cmbCarClass for a car type
// position. A position that is none of the types (-1 when nothing is selected) has no list:
// the result is empty and the dependent list is left as it is.
std::span<const std::wstring_view> coursesFor(int courseType);
std::span<const std::wstring_view> classesFor(int carType);

} // namespace enhancements
