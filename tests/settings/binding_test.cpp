#include "harness/harness.h"
#include "settings/binding.h"

using namespace harness;
using settings::Binding;
using settings::Encoding;
using tk::Kind;

namespace {

// clang-format off
tk::FormSpec bindingSpec() {
    return {.name = L"frmBind",
            .caption = L"Binding",
            .width = 4000,
            .height = 3000,
            .controls = {
                {.name = L"chkA", .kind = Kind::CheckBox, .caption = L"A", .left = 100, .top = 100, .width = 1500, .height = 255},
                {.name = L"cmbL", .kind = Kind::DropList, .left = 100, .top = 500, .width = 1500, .height = 315,
                 .items = {L"one", L"two", L"three"}},
                {.name = L"cmbP", .kind = Kind::DropList, .left = 100, .top = 900, .width = 1500, .height = 315,
                 .items = {L"1", L"2", L"3", L"4"}},
                {.name = L"txtT", .kind = Kind::TextBox, .caption = L"Text1", .left = 100, .top = 1300, .width = 1500, .height = 285},
                {.name = L"txtB", .kind = Kind::ButtonField, .caption = L"Text1", .left = 100, .top = 1700, .width = 500, .height = 285},
            }};
}
// clang-format on

const Binding kRows[] = {
    {L"A", L"chkA", Encoding::Check},
    {L"L", L"cmbL", Encoding::List},
    {L"P", L"cmbP", Encoding::ListPlusOne},
    {L"T", L"txtT", Encoding::Text},
    {L"B", L"txtB", Encoding::ButtonText, 0, false},
};
const settings::IniFile kFile{L"bind.ini", L"S"};

} // namespace

class Bindings : public WindowTest {
protected:
    GameFolder game;
    tk::Form form{bindingSpec()};
    void SetUp() override {
        WindowTest::SetUp();
        form.show();
    }
};

TEST_F(Bindings, MissingKeysGiveTheDefaults) {
    settings::load(form, kFile, kRows);
    EXPECT_EQ(form.check(L"chkA"), 0);
    EXPECT_EQ(form.selected(L"cmbL"), 0);
    EXPECT_EQ(form.selected(L"cmbP"), -1); // stored 0 selects nothing
    EXPECT_EQ(form.text(L"txtT"), L"0");
    EXPECT_EQ(form.text(L"txtB"), L"-1");
    ASSERT_EQ(settings::save(form, kFile, kRows), 0u);
    EXPECT_EQ(read(game.settings(L"bind.ini")), "[S]\r\nA=0\r\nL=0\r\nP=0\r\nT=0\r\nB=-1\r\n");
}

TEST_F(Bindings, StoredValuesRoundTrip) {
    write(game.settings(L"bind.ini"), "[S]\r\nA=2\r\nL= 2 \r\nP=4\r\nT= spaced \r\nB=abc\r\n");
    settings::load(form, kFile, kRows);
    EXPECT_EQ(form.check(L"chkA"), 2);
    EXPECT_EQ(form.selected(L"cmbL"), 2);
    EXPECT_EQ(form.selected(L"cmbP"), 3);
    EXPECT_EQ(form.text(L"txtT"), L"spaced");
    EXPECT_EQ(form.text(L"txtB"), L"abc");
    // Saving the same values leaves the file's bytes as they were.
    ASSERT_EQ(settings::save(form, kFile, kRows), 0u);
    EXPECT_EQ(read(game.settings(L"bind.ini")), "[S]\r\nA=2\r\nL= 2 \r\nP=4\r\nT= spaced \r\nB=abc\r\n");
    form.select(L"cmbL", 1);
    form.setText(L"txtT", L"new"); // the form is loaded, not shown: no user could type into it
    ASSERT_EQ(settings::save(form, kFile, kRows), 0u);
    EXPECT_EQ(read(game.settings(L"bind.ini")), "[S]\r\nA=2\r\nL=1\r\nP=4\r\nT=new\r\nB=abc\r\n");
}

TEST_F(Bindings, RefusedValuesCountAsMissingAndLoadingGoesOn) {
    write(game.settings(L"bind.ini"), "[S]\r\nA=3\r\nL=x\r\nP=9\r\nT=ok\r\n");
    form.setCheck(L"chkA", 1);
    settings::load(form, kFile, kRows);
    EXPECT_EQ(form.check(L"chkA"), 0);
    EXPECT_EQ(form.selected(L"cmbL"), 0);
    EXPECT_EQ(form.selected(L"cmbP"), -1);
    EXPECT_EQ(form.text(L"txtT"), L"ok");
}

TEST_F(Bindings, SaveAllReportsTheFileAndKeepsTheWindow) {
    GameFolder bare(false);
    settings::load(form, kFile, kRows);
    EXPECT_FALSE(settings::saveAll(form, {{kFile, kRows}}));
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].icon, platform::Icon::Critical);
    EXPECT_NE(rec.messages[0].text.find(bare.settings(L"bind.ini")), std::wstring::npos);
    EXPECT_NE(rec.messages[0].text.find(L"error 3"), std::wstring::npos);
    EXPECT_TRUE(form.loaded());
}
