// Where the error log goes: the program's folder when it can be written,
// else the user's own folder, and the start-up box names the file that
// holds the entry.
#include "tests/startup/startup_support.h"
#include "app/shell/config.h"
#include "app/shell/startup.h"

#include <cstring>

namespace {

std::string Cwd()
{
    char buf[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof buf, buf);
    return buf;
}

std::string ReadAll(const std::string& path)
{
    return TestReadFile(path.c_str());
}

// A failed connection attempt: the library writes one error entry.
void FailOnce()
{
    static tagZT_SQL_MATION m;   // kept by address by the library
    memset(&m, 0, sizeof m);
    strcpy(m.szUser, "nobody");
    strcpy(m.szHost, "127.0.0.1");
    strcpy(m.szDatabase, "none");
    strcpy(m.szCharset, "gbk");
    m.pszAppDir = ".";
    m.iPort = 9;                // nothing listens there
    m.iConnectTimeout = 3;
    EXPECT_EQ(MYSQL_Init(&m), 0);
    MYSQL_Terminal();
}

struct ErrorLogPlace : testing::Test {
    std::string program, user;
    void SetUp() override
    {
        const testing::TestInfo* t = testing::UnitTest::GetInstance()->current_test_info();
        std::string base = Cwd() + "\\log_" + t->name();
        TestShell(std::string("rm -rf 'log_") + t->name() + "'");
        CreateDirectoryA(base.c_str(), nullptr);
        program = base + "\\program";
        user = base + "\\roaming\\Kelmora";   // made by the library when needed
        CreateDirectoryA(program.c_str(), nullptr);
        CreateDirectoryA((base + "\\roaming").c_str(), nullptr);
    }
    void TearDown() override
    {
        ZTData_SetErrorLogFolders(nullptr, nullptr);
    }
    std::string Path(int* written = nullptr)
    {
        char buf[MAX_PATH * 2] = "";
        int w = ZTData_ErrorLogPath(buf, sizeof buf);
        if (written)
            *written = w;
        return buf;
    }
};

TEST_F(ErrorLogPlace, TheProgramsFolderWhenWritableElseTheUsersOwn)
{
    ZTData_SetErrorLogFolders(program.c_str(), user.c_str());
    EXPECT_EQ(Path(), program + "\\errlog.log") << "before any entry: where the first goes";
    FailOnce();
    int written = 0;
    EXPECT_EQ(Path(&written), program + "\\errlog.log");
    EXPECT_EQ(written, 1);
    EXPECT_NE(ReadAll(program + "\\errlog.log").find("\t错误码:"), std::string::npos);

    // The program's folder cannot take the file (as Program Files for a
    // standard user): the entry goes to the user's folder, made for it.
    DeleteFileA((program + "\\errlog.log").c_str());
    ASSERT_TRUE(CreateDirectoryA((program + "\\errlog.log").c_str(), nullptr));
    FailOnce();
    EXPECT_EQ(Path(&written), user + "\\errlog.log");
    EXPECT_EQ(written, 1);
    std::string log = ReadAll(user + "\\errlog.log");
    EXPECT_NE(log.find("\t错误码:"), std::string::npos);
    EXPECT_EQ(log.size() - 2, log.find("\r\n")) << "one entry, one line";

    // Neither can: the entry is lost, the path names the first place tried.
    DeleteFileA((user + "\\errlog.log").c_str());
    ASSERT_TRUE(CreateDirectoryA((user + "\\errlog.log").c_str(), nullptr));
    FailOnce();
    EXPECT_EQ(Path(&written), program + "\\errlog.log");
    EXPECT_EQ(written, 0);

    // Without folders, the current folder (as the library always did).
    ZTData_SetErrorLogFolders(nullptr, nullptr);
    EXPECT_EQ(Path(), Cwd() + "\\errlog.log");
}

// A start that cannot reach its server says so, and where the log entry is;
// the entry is in that file.
TEST_F(ErrorLogPlace, TheStartUpBoxNamesTheLogThatHoldsTheEntry)
{
    St_Init();
    ASSERT_NE(TestDb_Open("st_places"), nullptr);
    St_WriteConfig(true, 9);
    TestDb_Close();
    TestBoxes_Reset();
    tagZT_Main_Param* p = new tagZT_Main_Param();   // kept: the library keeps its settings' address
    p->hInst = GetModuleHandleA(nullptr);
    EXPECT_EQ(Startup_RunPhase(p), 0);
    EXPECT_EQ(Startup_ExitCode(), 1);
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(boxes.size(), 1u);
    const std::string& text = boxes[0].text;
    EXPECT_NE(text.find("127.0.0.1:9"), std::string::npos) << text;
    const std::string mark = "详细请查看错误日志";
    size_t at = text.find(mark);
    ASSERT_NE(at, std::string::npos) << text;
    std::string path = text.substr(at + mark.size());
    EXPECT_EQ(path, Config_ProgramFolder() + "\\errlog.log") << "the program's folder can be written here";
    std::string log = ReadAll(path);
    size_t last = log.rfind("\t错误码:", log.size() - 2);
    EXPECT_NE(last, std::string::npos) << "no entry in " << path;
    DeleteFileA("config.ini");
}

}  // namespace
