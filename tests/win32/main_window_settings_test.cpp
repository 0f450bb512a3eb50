// The main window with a settings file of its own: start-up values, the saved placement
// applied at the first activation, and what is written at close.
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

class MainWindowSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = testing::MakeScratchFolder("pvset");
        settings_ = folder_ + "pakvane.ini";
    }
    void TearDown() override { form_.reset(); }

    // Starts the window on the given settings and configuration file and lets the first
    // activation restore the placement.
    void Start(const std::string& settingsText, std::vector<std::string> arguments = {})
    {
        if (!settingsText.empty()) WriteBytes(settings_, settingsText);
        form_ = std::make_unique<TMainForm>(GetModuleHandleW(nullptr), std::move(arguments), false);
        form_->UseSettingsFile(settings_);
        form_->Create();
        form_->Show(SW_SHOW);
        SendMessageW(form_->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    RECT Bounds() const
    {
        RECT r{};
        GetWindowRect(form_->Handle(), &r);
        return r;
    }
    void Close()
    {
        SendMessageW(form_->Handle(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(form_->Handle()));
    }

    std::string folder_;
    std::string settings_;
    std::unique_ptr<TMainForm> form_;
    testing::RecordedBoxes recorder_;
    std::vector<std::wstring>& boxes_ = recorder_.texts;
};

TEST_F(MainWindowSettingsTest, SavedPlacementIsAppliedWithinTheWindowsLimits)
{
    Start("[Main]\r\nLeft=30\r\nTop=40\r\nWidth=100\r\nHeight=500\r\nSplitt=10\r\n");
    const RECT r = Bounds();
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, form_->MinimumSize().cx) << "a saved width below the minimum gives the minimum";
    EXPECT_EQ(r.bottom - r.top, 500);
    EXPECT_EQ(form_->MemoHeight(), form_->Scale()(50) + 1);
}

TEST_F(MainWindowSettingsTest, AMemoTallerThanTheGroupAllowsIsCut)
{
    Start("[Main]\r\nSplitt=5000\r\n");
    RECT group{};
    GetWindowRect(form_->Control(ids::kGroupBox2), &group);
    EXPECT_EQ(form_->MemoHeight(), (group.bottom - group.top) - form_->Scale()(50) - 1);
}

TEST_F(MainWindowSettingsTest, AWindowLeftOffEveryMonitorComesBackOnScreen)
{
    Start("[Main]\r\nLeft=6000\r\nTop=-4000\r\n");
    RECT r = Bounds();
    EXPECT_NE(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr);
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT inside{};
    IntersectRect(&inside, &r, &screen);
    EXPECT_TRUE(EqualRect(&inside, &r)) << "wholly visible";
    form_.reset();

    // A window that is still partly visible is left where it was put.
    Start("[Main]\r\nLeft=-100\r\nTop=20\r\n");
    r = Bounds();
    EXPECT_EQ(r.left, -100);
    EXPECT_EQ(r.top, 20);
}

TEST_F(MainWindowSettingsTest, ClosingWritesEverySectionAndMaximizedWithNormalBounds)
{
    Start("[Tools]\r\nSort=0\r\n[Main]\r\nLeft=20\r\nTop=30\r\nWidth=900\r\nHeight=600\r\n");
    EXPECT_FALSE(form_->SortByExtension()) << "Sort=0 checks Sort2Item";
    ShowWindow(form_->Handle(), SW_MAXIMIZE);
    Close();

    const std::string written = ReadBytes(settings_);
    for (const char* line : {"[Main]", "Maximized=1", "Left=20", "Top=30", "Width=900", "Height=600", "[Tools]",
                             "Sort=0", "Lng=", "[Setup]", "ComPath=", "IniFile="})
        EXPECT_NE(written.find(line), std::string::npos) << line << " in\n" << written;

    // The next start shows it maximized, and un-maximizing returns to those bounds.
    Start("");
    EXPECT_TRUE(IsZoomed(form_->Handle()));
    ShowWindow(form_->Handle(), SW_RESTORE);
    const RECT r = Bounds();
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.right - r.left, 900);
}

TEST_F(MainWindowSettingsTest, ArgumentsWinOverTheRememberedFileAndFolder)
{
    const std::string ini = folder_ + "wincmd.ini";
    WriteBytes(ini, "[PackerPlugins]\r\nzip=1,c:\\wcx\\zip.wcx\r\n");
    Start("[Setup]\r\nIniFile=c:\\nowhere\\wincmd.ini\r\nComPath=c:\\old\\\r\n", {ini, folder_ + "tc"});
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(form_->ConfigurationPath(), ini);
    EXPECT_EQ(form_->CommanderFolder(), folder_ + "tc\\");
    EXPECT_EQ(form_->List().Count(), 1u);
    Close();
    const std::string written = ReadBytes(settings_);
    EXPECT_NE(written.find("IniFile=" + ini), std::string::npos) << written;
    EXPECT_NE(written.find("ComPath=" + folder_ + "tc\\"), std::string::npos) << written;
}

}  // namespace
}  // namespace pakvane
