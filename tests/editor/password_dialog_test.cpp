// The password dialog in both modes, driven with real messages.
#include "editor/password_dialog.h"

#include <gtest/gtest.h>

#include "app/scripted_prompts.h"
#include "app/window_driver.h"
#include "book/field_cipher.h"
#include "book/gbk_wide.h"

namespace folivra::test {
namespace {

const std::wstring kEmptyPassword = L"密码不能为空！";

class PasswordDialogTest : public testing::Test {
 protected:
  PasswordDialog::Tell tell() {
    return [this](const Message& m) { return prompts_.show_message(m); };
  }
  void open_mode(const std::string& hint = "\xCE\xDE") {
    dialog_ = std::make_unique<PasswordDialog>(
        PasswordRequest{PasswordMode::open, "tale.zqb", password_check_value("right"), hint, ""},
        tell());
    ASSERT_NE(dialog_->create(nullptr), nullptr);
    ShowWindow(dialog_->hwnd(), SW_SHOW);
  }
  void set_mode(const std::string& file, const std::string& password, const std::string& hint) {
    dialog_ = std::make_unique<PasswordDialog>(
        PasswordRequest{PasswordMode::set, file, "", hint, password}, tell());
    ASSERT_NE(dialog_->create(nullptr), nullptr);
    ShowWindow(dialog_->hwnd(), SW_SHOW);
  }
  void enter(const std::wstring& password) {
    SetWindowTextW(c().password, password.c_str());
    press(c().password, VK_RETURN);
  }
  const PasswordDialog::Controls& c() const { return dialog_->controls(); }
  RECT place(HWND hwnd) const {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  ScriptedPrompts prompts_;
  std::unique_ptr<PasswordDialog> dialog_;
};

TEST_F(PasswordDialogTest, OpenModeLayoutAndMask) {
  open_mode();
  RECT outer;
  GetWindowRect(dialog_->hwnd(), &outer);
  EXPECT_EQ(outer.right - outer.left, 338);
  EXPECT_EQ(outer.bottom - outer.top, 290);
  EXPECT_EQ(text_of(dialog_->hwnd()), L"密码输入");
  EXPECT_EQ(text_of(c().prompt), L"欲打开的文件已经被加密，请输入访问密码");
  EXPECT_EQ(text_of(c().password_label), L"密码：");
  EXPECT_EQ(text_of(c().hint_label), L"密码提示文本(由作者提供)：");
  EXPECT_EQ(text_of(c().hint), L"无");
  EXPECT_TRUE(GetWindowLongPtrW(c().hint, GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(text_of(c().ok), L"确 认");
  EXPECT_EQ(text_of(c().cancel), L"取 消");
  const RECT box = place(c().password);
  EXPECT_EQ(box.left, 56);
  EXPECT_EQ(box.top, 48);
  EXPECT_EQ(box.right - box.left, 208);
  const RECT ok = place(c().ok);
  EXPECT_EQ(ok.left, 176);
  EXPECT_EQ(ok.top, 224);

  EXPECT_EQ(SendMessageW(c().password, EM_GETPASSWORDCHAR, 0, 0), L'l');
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(c().password, WM_GETFONT, 0, 0)), sizeof font,
             &font);
  EXPECT_STREQ(font.lfFaceName, L"Wingdings");
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_EQ(GetFocus(), c().password);
}

TEST_F(PasswordDialogTest, EmptyPasswordIsNotAnAttempt) {
  open_mode();
  enter(L"");
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, kEmptyPassword);
  EXPECT_EQ(prompts_.messages[0].icon, Icon::error);
  EXPECT_FALSE(prompts_.messages[0].owned);
  EXPECT_EQ(dialog_->attempts(), 0);
  EXPECT_FALSE(dialog_->closed());
}

TEST_F(PasswordDialogTest, RightPasswordByEnter) {
  open_mode();
  enter(L"right");
  EXPECT_TRUE(dialog_->closed());
  EXPECT_EQ(dialog_->result().password, "right");
  EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(PasswordDialogTest, ThreeWrongPasswordsEndTheShowing) {
  open_mode();
  RECT before;
  GetWindowRect(dialog_->hwnd(), &before);
  enter(L"wrong");
  EXPECT_EQ(dialog_->attempts(), 1);
  EXPECT_EQ(text_of(c().password), L"") << "the box is cleared for another try";
  EXPECT_EQ(text_of(c().prompt), L"密码错误，请重新输入（还可输入 2 次）");
  RECT after;
  GetWindowRect(dialog_->hwnd(), &after);
  EXPECT_EQ(after.left, before.left) << "the shake ends where it began";
  EXPECT_FALSE(dialog_->closed());
  enter(L"Right");  // letter case matters
  EXPECT_EQ(dialog_->attempts(), 2);
  EXPECT_FALSE(dialog_->closed());
  enter(L"wrong again");
  EXPECT_TRUE(dialog_->closed());
  EXPECT_EQ(dialog_->result().password, "");
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, L"密码输入错误 - 你无权打开[tale.zqb]");
}

TEST_F(PasswordDialogTest, EnterWithShiftDoesNotConfirm) {
  open_mode();
  SetWindowTextW(c().password, L"right");
  {
    HeldKeys shift(false, true);
    press(c().password, VK_RETURN);
  }
  EXPECT_FALSE(dialog_->closed());
}

TEST_F(PasswordDialogTest, EscCancelsTabLeavesAndEnterDuringTheShakeIsNoAttempt) {
  open_mode();
  SetFocus(c().password);
  MSG tab{c().password, WM_KEYDOWN, VK_TAB, 1, 0, {}};
  EXPECT_TRUE(IsDialogMessageW(dialog_->hwnd(), &tab));
  EXPECT_NE(GetFocus(), c().password) << "Tab leaves the password box";

  // An Enter that arrives while the window shakes is not a second attempt.
  PostMessageW(c().password, WM_KEYDOWN, VK_RETURN, 1);
  enter(L"wrong");
  EXPECT_EQ(dialog_->attempts(), 1);

  SetFocus(c().password);
  MSG esc{c().password, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
  EXPECT_TRUE(IsDialogMessageW(dialog_->hwnd(), &esc));
  EXPECT_TRUE(dialog_->closed()) << "Esc cancels";
  EXPECT_EQ(dialog_->result().password, "");
}

TEST_F(PasswordDialogTest, PasswordsGbkCannotHoldAreRefusedAndNeverMatch) {
  set_mode("tale.zqb", "", "");
  SetWindowTextW(c().password, L"한국어");
  SendMessageW(dialog_->hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
               reinterpret_cast<LPARAM>(c().ok));
  EXPECT_FALSE(dialog_->closed()) << "refused where it is set";
  ASSERT_EQ(prompts_.messages.size(), 1u);

  // A book whose password really is "??" does not open for two Korean letters.
  dialog_ = std::make_unique<PasswordDialog>(
      PasswordRequest{PasswordMode::open, "tale.zqb", password_check_value("??"), "", ""}, tell());
  ASSERT_NE(dialog_->create(nullptr), nullptr);
  enter(L"한국");
  EXPECT_EQ(dialog_->attempts(), 1);
  EXPECT_FALSE(dialog_->closed());
  enter(L"??");
  EXPECT_TRUE(dialog_->closed());
  EXPECT_EQ(dialog_->result().password, "??");
}

TEST_F(PasswordDialogTest, CancelAcceptsNothing) {
  open_mode();
  SetWindowTextW(c().password, L"right");
  SendMessageW(dialog_->hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
               reinterpret_cast<LPARAM>(c().cancel));
  EXPECT_TRUE(dialog_->closed());
  EXPECT_EQ(dialog_->result().password, "");
}

TEST_F(PasswordDialogTest, SetModeMasksAsksTwiceAndConfirmsRemoval) {
  set_mode("tale.zqb", "old", "hint");
  EXPECT_EQ(text_of(dialog_->hwnd()), L"设置密码");
  EXPECT_EQ(text_of(c().prompt), L"为文件[tale.zqb]设置访问密码");
  EXPECT_EQ(text_of(c().hint_label), L"密码提示文本(留空则为无)：");
  EXPECT_EQ(text_of(c().repeat_label), L"确认：");
  EXPECT_EQ(text_of(c().password), L"old");
  EXPECT_EQ(text_of(c().repeat), L"old") << "unchanged, it is kept";
  EXPECT_NE(SendMessageW(c().password, EM_GETPASSWORDCHAR, 0, 0), 0) << "masked";
  EXPECT_NE(SendMessageW(c().repeat, EM_GETPASSWORDCHAR, 0, 0), 0);
  EXPECT_FALSE(GetWindowLongPtrW(c().hint, GWL_STYLE) & ES_READONLY);

  SetWindowTextW(c().password, L"new1");
  SetWindowTextW(c().repeat, L"new2");
  press(c().repeat, VK_RETURN);
  EXPECT_FALSE(dialog_->closed()) << "the two differ";
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, L"两次输入的密码不一致，请重新输入。");
  EXPECT_EQ(text_of(c().repeat), L"");

  // Emptied, the password goes only after a confirmation.
  SetWindowTextW(c().password, L"");
  SetWindowTextW(c().repeat, L"");
  SetWindowTextW(c().hint, L"新提示");
  prompts_.answers = {Answer::cancel};
  press(c().password, VK_RETURN);
  EXPECT_FALSE(dialog_->closed());
  prompts_.answers = {Answer::ok};
  SendMessageW(dialog_->hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
               reinterpret_cast<LPARAM>(c().ok));
  EXPECT_EQ(prompts_.messages.size(), 3u);
  EXPECT_TRUE(dialog_->closed());
  EXPECT_TRUE(dialog_->result().confirmed);
  EXPECT_EQ(dialog_->result().password, "");
  EXPECT_EQ(dialog_->result().hint, "\xD0\xC2\xCC\xE1\xCA\xBE");
}

TEST_F(PasswordDialogTest, SetModeCancelGivesBackWhatItGot) {
  set_mode("", "old", "hint");
  EXPECT_EQ(text_of(c().prompt), L"为文件[]设置访问密码");
  SetWindowTextW(c().password, L"changed");
  SendMessageW(dialog_->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(dialog_->closed());
  EXPECT_FALSE(dialog_->result().confirmed);
  EXPECT_EQ(dialog_->result().password, "old");
  EXPECT_EQ(dialog_->result().hint, "hint");
}

}  // namespace
}  // namespace folivra::test
