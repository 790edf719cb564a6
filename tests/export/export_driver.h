// Driving an export as a user does and reading its file back: the real
// save dialog and progress dialog answered from timers (they run their own
// message loops), a right click, a popup menu clicked by its command, and
// a reader of the workbook's sheet (unzipped by the host's unzip).
#pragma once
#include "tests/support/window_driver.h"
#include "common/zt_box.h"

#include <string>
#include <vector>

// A right click at (x, y) on the screen, with real mouse input.
void Ex_RightClick(int x, int y);

// Arms a timer that answers the next save dialog of this thread: the file
// name typed into its name box, the type chosen (0 workbook, 1 CSV UTF-8,
// 2 CSV GBK) and "保存" pressed; with an empty name it presses "取消".
// What it saw is kept until the next call.
void Ex_AnswerSave(const std::string& winPath, int type);
struct SaveSeen {
    bool seen = false;         // a save dialog came up
    std::string title;
    std::string offered;       // the name it offered
    int typeOffered = -1;      // the type selected when it came up
    std::vector<std::string> types;
    RECT rect = {};            // where it stood
};
const SaveSeen& Ex_SaveSeen();
// Stops the save-dialog timer (when no dialog is expected any more).
void Ex_StopSave();

// Arms a timer that clicks the item of command cmd in the next popup menu
// of this thread and records the menu's item texts; with a name, the
// screen is taken first as $ZT_TEST_SHOTS/<name>.png.
void Ex_ClickPopupSoon(UINT cmd, const char* shot = nullptr);
const std::vector<std::string>& Ex_PopupItems();
bool Ex_PopupClicked();

// Arms a timer that clicks "取消" of the export's progress dialog as soon
// as it is shown, and records its texts then (with a name, the screen is
// taken then and saved as $ZT_TEST_SHOTS/<name>.png by the first
// Ex_ProgressCancelled() after it).
void Ex_CancelProgressSoon(const char* shot = nullptr);
bool Ex_ProgressCancelled();
std::string Ex_ProgressText();

// Files: the folder the test runs in as a Windows path ("Z:\..."), the
// Unix name of such a path as a command of TestShell takes it, a file's
// bytes (empty when it is missing).
std::string Ex_Folder();
std::string Ex_UnixPath(const std::string& winPath);
bool Ex_Exists(const std::string& winPath);
std::string Ex_ReadFile(const std::string& winPath);
// GBK to UTF-8 and back.
std::string Ex_Utf8(const std::string& gbk);
std::string Ex_Gbk(const std::string& utf8);

// One cell of a sheet: a number (<v>) or a text (inline or shared string),
// with its style index.
struct XCell {
    bool present = false;
    bool number = false;
    std::string text;          // UTF-8; a number's digits as stored
    int style = 0;
};
// The rows of the first sheet of a workbook, by row and column (from 0),
// and the workbook part (sheet names).  FALSE when it cannot be read.
bool Ex_ReadXlsx(const std::string& winPath, std::vector<std::vector<XCell>>* pRows, std::string* pWorkbookXml);
// The lines of a CSV file (after a byte order mark, which is reported),
// split into fields by the CSV rules; every line must end in CR LF.
bool Ex_ReadCsv(const std::string& bytes, std::vector<std::vector<std::string>>* pRows, bool* pBom, bool* pCrLf);

// The export tests: a frame for each test (the save dialog's timer stopped
// after it), every box through the recorder, the data library's own too.
class ExportTest : public DemoWindowTest {
protected:
    static void OpenDemo(const char* dbName)
    {
        DemoWindowTest::OpenDemo(dbName);
        ZT_SetMessageBoxHookLocal(TestBoxes_Hook());
    }
    static void OpenWithModule(const char* dbName, const ZT_MODULE_DESC* d)
    {
        DemoWindowTest::OpenWithModule(dbName, d);
        ZT_SetMessageBoxHookLocal(TestBoxes_Hook());
    }
    void TearDown() override
    {
        Ex_StopSave();
        DemoWindowTest::TearDown();
    }
    // Pumps until a box was shown (the export's last word) or 20 s passed.
    static void WaitForBox()
    {
        for (int i = 0; i < 1000 && TestBoxes_Count() == 0; i++)
            Ui_Pump(20);
    }
};
