// The save's questions on real files: a section another program changed since the load, a
// configuration file deleted since the load, and a redirect that cannot be followed. Every
// answer is checked against the exact bytes left on disk.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/main_form.h"
#include "app/ui/ui_text.h"
#include "win32/recorded_boxes.h"
#include "win32/test_files.h"

namespace pakvane {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

class MainWindowSaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = testing::MakeScratchFolder("pvsave");
        ini_ = folder_ + "wincmd.ini";
    }
    void TearDown() override { form_.reset(); }

    void Start(const std::string& configuration)
    {
        WriteBytes(ini_, configuration);
        form_ = std::make_unique<TMainForm>(GetModuleHandleW(nullptr), std::vector<std::string>{ini_, folder_}, false);
        form_->UseSettingsFile(folder_ + "pakvane.ini");
        form_->Create();
    }
    // Switches the first row off, as a click on its check box would, and presses Apply.
    void SwitchOffAndApply(std::vector<int> answers)
    {
        form_->List().SetChecked(0, false);
        form_->SetUnsavedChanges(true);
        answers_ = std::move(answers);
        boxes_.clear();
        SendMessageW(form_->Handle(), WM_COMMAND, MAKEWPARAM(ids::kApplyButton, BN_CLICKED),
                     reinterpret_cast<LPARAM>(form_->Control(ids::kApplyButton)));
    }
    bool Asked(const wchar_t* words) const
    {
        for (const std::wstring& box : boxes_)
            if (box.find(words) != std::wstring::npos) return true;
        return false;
    }

    std::string folder_, ini_;
    std::unique_ptr<TMainForm> form_;
    // Questions take the queued answers (Cancel when none is left); other boxes are confirmed.
    testing::RecordedBoxes recorder_{[this](UINT flags) {
        if (flags & (MB_YESNOCANCEL | MB_YESNO)) {
            if (answers_.empty()) return IDCANCEL;
            const int answer = answers_.front();
            answers_.erase(answers_.begin());
            return answer;
        }
        return IDOK;
    }};
    std::vector<std::wstring>& boxes_ = recorder_.texts;
    std::vector<int> answers_;
};

constexpr char kLoaded[] = "[PackerPlugins]\r\nzip=1,c:\\wcx\\zip.wcx\r\n";
constexpr char kChanged[] = "[PackerPlugins]\r\nzip=1,c:\\wcx\\zip.wcx\r\nrar=2,c:\\wcx\\rar.wcx\r\n";

TEST_F(MainWindowSaveTest, ASectionChangedMeanwhileIsWrittenOnlyAfterTheUsersAnswer)
{
    Start(kLoaded);
    WriteBytes(ini_, kChanged);

    SwitchOffAndApply({IDCANCEL});
    EXPECT_TRUE(Asked(L"Another program changed")) << "the question names the change";
    EXPECT_EQ(ReadBytes(ini_), kChanged);
    EXPECT_TRUE(form_->HasUnsavedChanges());

    // Reload: the file's rows are shown, the change in the list is gone, nothing is written.
    SwitchOffAndApply({IDYES});
    EXPECT_EQ(ReadBytes(ini_), kChanged);
    EXPECT_EQ(form_->List().Count(), 2u);
    EXPECT_FALSE(form_->HasUnsavedChanges());

    // Overwrite: the list as it stands (rar switched off) goes to the file.
    WriteBytes(ini_, kLoaded);
    SwitchOffAndApply({IDNO});
    EXPECT_EQ(ReadBytes(ini_), kLoaded);
    EXPECT_NE(ReadBytes(folder_ + "pakvane.ini").find("=rar=2,c:\\wcx\\rar.wcx"), std::string::npos);
    EXPECT_FALSE(form_->HasUnsavedChanges());
}

TEST_F(MainWindowSaveTest, ADeletedConfigurationFileIsCreatedOnlyWhenTheUserSaysSo)
{
    Start(std::string(kChanged));
    DeleteFileA(ini_.c_str());
    SwitchOffAndApply({IDNO});
    EXPECT_TRUE(Asked(L"was deleted"));
    EXPECT_EQ(GetFileAttributesA(ini_.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(form_->HasUnsavedChanges());

    SwitchOffAndApply({IDYES});
    EXPECT_EQ(ReadBytes(ini_), kLoaded) << "only the section, rar switched off";
}

TEST_F(MainWindowSaveTest, ARedirectToItselfIsReportedByWhatIsWrong)
{
    Start("[PackerPlugins]\r\nRedirectSection=" + folder_ + "WINCMD.INI\r\n");
    EXPECT_TRUE(Asked(L"points to the file itself"));
    EXPECT_EQ(form_->List().Count(), 0u);
}

}  // namespace
}  // namespace pakvane
