#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "support/ModalDriver.h"
#include "dialogs/CABOUTDlg.h"
#include "support/Text.h"

namespace {

class AboutDialog : public ::testing::Test
{
protected:
    ModalRun Run(const std::function<void(HWND)>& act, HWND owner = nullptr)
    {
        return DriveModal([this, owner] { return m_dialog.RunModal(owner, 0); }, act);
    }

    CABOUTDlg m_dialog;
};

// ---- Closing ---------------------------------------------------------------------------

TEST_F(AboutDialog, OkButtonEndsWithOne)
{
    const ModalRun run = Run([](HWND dialog) { SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0); });
    ASSERT_TRUE(run.acted) << "the dialog never appeared";
    EXPECT_EQ(IDOK, run.result);
    EXPECT_FALSE(run.stuck);
}

TEST_F(AboutDialog, OtherCommandsDoNotEndIt)
{
    bool openAfter = false;
    const ModalRun run = Run([&](HWND dialog) {
        for (WORD id : {WORD{3}, WORD{1000}, WORD{57664}, WORD{1501}})
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        // EndDialog would have hidden it at once.
        openAfter = IsWindowVisible(dialog) != FALSE;
        SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(openAfter);
    EXPECT_EQ(IDOK, run.result);
}

// ---- Contents ---------------------------------------------------------------------------

// The first run of digits in `text`.
std::string FirstDigits(const std::string& text)
{
    const size_t start = text.find_first_of("0123456789");
    if (start == std::string::npos)
        return {};
    const size_t end = text.find_first_not_of("0123456789", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

TEST_F(AboutDialog, ShowsFiveLabelledLines)
{
    std::vector<std::string> lines;
    std::string title;
    std::string button;
    const ModalRun run = Run([&](HWND dialog) {
        for (HWND line : ChildrenOfClass(dialog, "Static"))
            lines.push_back(TextOf(line));
        title = TextOf(dialog);
        button = TextOf(GetDlgItem(dialog, IDOK));
        SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(u8"关于", Utf8From936(title));
    EXPECT_EQ("OK", button);
    const char* const labels[] = {"公司:  ", "地址:  ", "电话:  ", "网址:  ", "传真:  "};
    ASSERT_EQ(5u, lines.size());
    for (size_t i = 0; i < 5; ++i) {
        const std::string label = labels[i];
        EXPECT_EQ(Utf8From936(label), Utf8From936(lines[i].substr(0, label.size()))) << "line " << i;
        EXPECT_GT(lines[i].size(), label.size()) << "line " << i << " has no value";
    }
    EXPECT_EQ(IDOK, run.result);
}

TEST_F(AboutDialog, ContactDetailsAreNotReal)
{
    std::vector<std::string> lines;
    const ModalRun run = Run([&](HWND dialog) {
        for (HWND line : ChildrenOfClass(dialog, "Static"))
            lines.push_back(TextOf(line));
        SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    });
    ASSERT_EQ(5u, lines.size());
    // The web address lies in the domain reserved for examples.
    const std::string web = lines[3].substr(lines[3].find(' '));
    const size_t host = web.find_first_not_of(' ');
    std::string address = web.substr(host);
    if (address.rfind("http://", 0) == 0)
        address.erase(0, 7);
    if (address.rfind("www.", 0) == 0)
        address.erase(0, 4);
    EXPECT_EQ("example.com", address.substr(0, address.find('/'))) << Utf8From936(lines[3]);
    // No area code begins with 000: telephone and fax are placeholders.
    for (size_t i : {size_t{2}, size_t{4}}) {
        const std::string digits = FirstDigits(lines[i]);
        EXPECT_FALSE(digits.empty()) << Utf8From936(lines[i]);
        EXPECT_EQ(std::string(digits.size(), '0'), digits) << Utf8From936(lines[i]);
    }
    EXPECT_EQ(IDOK, run.result);
}

}  // namespace
