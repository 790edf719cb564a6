// config.ini: defaults, the first-run notice, number conversion, field widths.
#include "tests/startup/startup_support.h"
#include "app/shell/config.h"
#include "db/dbtool.h"

#include <cstring>
#include <memory>

namespace {

struct ConfigTest : testing::Test {
    std::unique_ptr<tagZT_Main_Param> block{new tagZT_Main_Param()};
    std::string dir;    // the program folder of the test (DOS path)
    std::string file;

    void SetUp() override
    {
        St_Init();
        TestBoxes_Reset();
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, cwd);
        const testing::TestInfo* t = testing::UnitTest::GetInstance()->current_test_info();
        dir = std::string(cwd) + "\\cfg_" + t->name();
        CreateDirectoryA(dir.c_str(), nullptr);
        file = dir + "\\config.ini";
        DeleteFileA(file.c_str());
        memset(block.get(), 0, sizeof(tagZT_Main_Param));
        strcpy(block->szAppDir, dir.c_str());
    }

    void Write(const std::string& text)
    {
        HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD n = 0;
        WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
        CloseHandle(h);
    }
    std::string Key(const char* section, const char* key)
    {
        char buf[128] = "";
        GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf, file.c_str());
        return buf;
    }
    size_t Notices()
    {
        size_t n = 0;
        for (const TestBox& b : TestBoxes_Taken())
            if (b.caption == "登录后请修改密码")
                ++n;
        return n;
    }
};

TEST_F(ConfigTest, AMissingOrUnreadableFileIsNamedAsTheCause)
{
    char why[300] = "";
    block->hOwner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(Config_Read(block.get(), why, sizeof why), 0);
    EXPECT_NE(std::string(why).find("找不到配置文件"), std::string::npos) << why;
    EXPECT_NE(std::string(why).find(file), std::string::npos) << why;
    EXPECT_EQ(Key("SOFT", "INITIALIZE"), "<none>") << "no file is made up";
    EXPECT_EQ(Notices(), 0u);
    EXPECT_STREQ(block->sql.szHost, "127.0.0.1");

    // A folder of that name cannot be read as the file.
    CreateDirectoryA(file.c_str(), nullptr);
    EXPECT_EQ(Config_Read(block.get(), why, sizeof why), 0);
    EXPECT_NE(std::string(why).find("无法读取配置文件"), std::string::npos) << why;
    RemoveDirectoryA(file.c_str());
    EXPECT_EQ(TestBoxes_Count(), 0u) << "start-up shows the cause";
}

TEST_F(ConfigTest, MissingKeysTakeTheirDefaultsTheCharacterSetGbk)
{
    block->hOwner = reinterpret_cast<HWND>(0x1234);
    Write("[SERVER]\r\nUID=kelmora\r\nDATABASE=agency\r\n");
    char why[300] = "";
    EXPECT_EQ(Config_Read(block.get(), why, sizeof why), 1) << why;
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(boxes.size(), 1u) << "no INITIALIZE: the first-run notice";
    EXPECT_EQ(boxes[0].caption, "登录后请修改密码");
    EXPECT_EQ(boxes[0].text, "\n软件初始密码为482913\n\n\n如果无法连接到数据库,请重启电脑");
    EXPECT_EQ(boxes[0].flags & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes[0].owner, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(Key("SOFT", "INITIALIZE"), "1");
    EXPECT_EQ(Key("SERVER", "CHARSET"), "<none>") << "only the flag is written";

    EXPECT_STREQ(block->sql.szCharset, "gbk");
    EXPECT_EQ(block->bRemind1, 0);
    EXPECT_EQ(block->bRemind2, 0);
    EXPECT_STREQ(block->sql.szPwd, "");
    EXPECT_EQ(block->sql.iPort, 0);
    EXPECT_EQ(block->sql.iReadTimeout, 0);
    EXPECT_EQ(block->sql.iConnectTimeout, 0);
    EXPECT_STREQ(block->sql.szHost, "127.0.0.1");

    Config_Read(block.get());
    EXPECT_EQ(Notices(), 1u) << "the notice is shown once per file";
}

TEST_F(ConfigTest, AValueOutOfRangeOrAMissingAccountIsNamedAsTheCause)
{
    const std::string good = "[SOFT]\r\nINITIALIZE=1\r\n[SERVER]\r\nUID=kelmora\r\nDATABASE=agency\r\n";
    struct Case {
        std::string text, key;
    } cases[] = {
        {good + "CHARSET=utf8\r\n", "CHARSET"},
        {good + "PORT=70000\r\n", "PORT"},
        {good + "PORT=-1\r\n", "PORT"},
        {good + "READ_TIMEOUT=-7\r\n", "READ_TIMEOUT"},
        {good + "CONNECT_TIMEOUT=-1\r\n", "CONNECT_TIMEOUT"},
        {"[SOFT]\r\nINITIALIZE=1\r\nREMIND1=300\r\n[SERVER]\r\nUID=kelmora\r\nDATABASE=agency\r\n", "REMIND1"},
        {"[SOFT]\r\nINITIALIZE=1\r\n[SERVER]\r\nUID=kelmora\r\n", "DATABASE"},
        {"[SOFT]\r\nINITIALIZE=1\r\n[SERVER]\r\nDATABASE=agency\r\n", "UID"},
    };
    for (const Case& c : cases) {
        Write(c.text);
        char why[300] = "";
        EXPECT_EQ(Config_Read(block.get(), why, sizeof why), 0) << c.text;
        EXPECT_NE(std::string(why).find(c.key), std::string::npos) << why;
    }
    Write(good + "CHARSET=GBK\r\nPORT=65535\r\nREAD_TIMEOUT=0\r\n");
    EXPECT_EQ(Config_Read(block.get()), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

TEST_F(ConfigTest, ANonNumericFlagCountsAsZero)
{
    Write("[SOFT]\r\nINITIALIZE=abc\r\n");
    Config_Read(block.get());
    EXPECT_EQ(Notices(), 1u);
    EXPECT_EQ(Key("SOFT", "INITIALIZE"), "1");

    TestBoxes_Reset();
    Write("[SOFT]\r\nINITIALIZE=1\r\n");
    Config_Read(block.get());
    EXPECT_EQ(Notices(), 0u);
}

TEST_F(ConfigTest, NumbersConvertAsDecimalAndTheHostIsTheOneNamed)
{
    Write("[SOFT]\r\nINITIALIZE=1\r\nREMIND1=300\r\nREMIND2=  +15days\r\n"
          "[SERVER]\r\nUID=kelmora\r\nPWD=0123456789abcdef0123456789abcdef\r\nDATABASE=agency\r\nCHARSET=gbk\r\n"
          "HOST=  db-server.agency.example  \r\nPORT=3306x\r\nREAD_TIMEOUT= -7\r\nWRITE_TIMEOUT=abc\r\nCONNECT_TIMEOUT=\r\n");
    Config_Read(block.get());
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(block->bRemind1, 300 & 0xFF) << "the low 8 bits";
    EXPECT_EQ(block->bRemind2, 15);
    EXPECT_STREQ(block->sql.szUser, "kelmora");
    EXPECT_STREQ(block->sql.szPwd, "0123456789abcdef0123456789abcdef");
    EXPECT_STREQ(block->sql.szDatabase, "agency");
    EXPECT_STREQ(block->sql.szCharset, "gbk");
    EXPECT_STREQ(block->sql.szHost, "db-server.agency.example") << "blanks around a value are not part of it";
    EXPECT_EQ(block->sql.iPort, 3306);
    EXPECT_EQ(block->sql.iReadTimeout, -7);
    EXPECT_EQ(block->sql.iWriteTimeout, 0);
    EXPECT_EQ(block->sql.iConnectTimeout, 0);
    EXPECT_EQ(block->sql.bSsl, 1) << "a server off this machine is reached encrypted unless SSL=0 is written";
    EXPECT_STREQ(block->sql.szSslCa, "");

    // An empty HOST is the local machine, as a missing one.
    Write("[SOFT]\r\nINITIALIZE=1\r\n[SERVER]\r\nUID=kelmora\r\nDATABASE=agency\r\nHOST=\r\n");
    EXPECT_EQ(Config_Read(block.get()), 1);
    EXPECT_STREQ(block->sql.szHost, "127.0.0.1");
}

TEST_F(ConfigTest, AHostOrCaFileTooLongForItsFieldIsRefusedNotCut)
{
    const std::string good = "[SOFT]\r\nINITIALIZE=1\r\n[SERVER]\r\nUID=kelmora\r\nDATABASE=agency\r\n";
    std::string host37(33, 'h'), caLong(260, 'c');
    host37 += ".lan";
    ASSERT_EQ(host37.size(), 37u);
    char why[1200] = "";
    Write(good + "HOST=" + host37 + "\r\nSSL=1\r\nSSL_CA=C:\\certs\\agency-ca.pem\r\n");
    EXPECT_EQ(Config_Read(block.get(), why, sizeof why), 1) << why;
    EXPECT_EQ(std::string(block->sql.szHost), host37) << "37 characters fit";
    EXPECT_EQ(block->sql.bSsl, 1);
    EXPECT_STREQ(block->sql.szSslCa, "C:\\certs\\agency-ca.pem");

    struct Case {
        std::string text, key;
    } cases[] = {
        {good + "HOST=" + host37 + "x\r\n", "HOST"},
        {good + "SSL_CA=" + caLong + "\r\n", "SSL_CA"},
        {good + "SSL=2\r\n", "SSL"},
    };
    for (const Case& c : cases) {
        Write(c.text);
        EXPECT_EQ(Config_Read(block.get(), why, sizeof why), 0) << c.key;
        EXPECT_NE(std::string(why).find(c.key), std::string::npos) << why;
        EXPECT_NE(std::string(why).find(file), std::string::npos) << "the cause names the file: " << why;
    }
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

// Off this machine the connection is encrypted unless plain text is
// written: no SSL line means SSL=1 for any server off loopback; the set-up
// tool writes the same, or says the connection is plain when asked for it.
TEST_F(ConfigTest, AServerOffThisMachineIsReachedEncryptedUnlessPlainTextIsWritten)
{
    const std::string good = "[SOFT]\r\nINITIALIZE=1\r\n[SERVER]\r\nUID=kelmora\r\nDATABASE=agency\r\nPORT=3306\r\n";
    struct Case {
        const char* lines;
        int ssl;
    } cases[] = {
        {"HOST=192.168.1.20\r\n", 1},
        {"HOST=db.agency.lan\r\n", 1},
        {"HOST=127.0.0.1:3307,db.agency.lan:3306\r\n", 1},
        {"HOST=192.168.1.20\r\nSSL=0\r\n", 0},
        {"HOST=127.0.0.1\r\n", 0},
        {"HOST=localhost\r\n", 0},
        {"HOST=127.0.0.1:3307,127.0.0.2:3308\r\n", 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        Write(good + c.lines);
        char why[600] = "";
        ASSERT_EQ(Config_Read(block.get(), why, sizeof why), 1) << c.lines << why;
        EXPECT_EQ(block->sql.bSsl, c.ssl) << c.lines;
    }

    // user, password, database, port, host, CA file
    DbToolConfig t{"kelmora", "Kel#2026", "agency", "3306", "192.168.1.20", ""};
    std::string text, fault;
    ASSERT_TRUE(DbTool_ConfigText(t, &text, &fault)) << fault;
    EXPECT_NE(text.find("\r\nSSL=1\r\n"), std::string::npos) << text;
    t.plain = true;
    ASSERT_TRUE(DbTool_ConfigText(t, &text, &fault)) << fault;
    EXPECT_NE(text.find("\r\nSSL=0\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("plain text"), std::string::npos) << text;
    t.host = "127.0.0.1";
    t.plain = false;
    ASSERT_TRUE(DbTool_ConfigText(t, &text, &fault)) << fault;
    EXPECT_NE(text.find("\r\nSSL=0\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("plain text"), std::string::npos) << text;
}

// HOST may name several servers, tried in order, each with an optional
// port; one host without a port stays as it always was.
TEST_F(ConfigTest, HostMayNameSeveralServersWithTheirPorts)
{
    const std::string good = "[SOFT]\r\nINITIALIZE=1\r\n[SERVER]\r\nUID=kelmora\r\nDATABASE=agency\r\nPORT=3306\r\n";
    char why[1200] = "";
    Write(good + "HOST= db1.agency.lan:3307, 192.168.1.12 ,db3.agency.lan:3309 \r\n");
    ASSERT_EQ(Config_Read(block.get(), why, sizeof why), 1) << why;
    EXPECT_STREQ(block->sql.szServers, "db1.agency.lan:3307, 192.168.1.12 ,db3.agency.lan:3309");
    EXPECT_STREQ(block->sql.szHost, "db1.agency.lan") << "the first server's host";
    EXPECT_EQ(block->sql.iPort, 3306) << "the port of the servers without their own";

    Write(good + "HOST=127.0.0.2:3310\r\n");
    ASSERT_EQ(Config_Read(block.get(), why, sizeof why), 1) << why;
    EXPECT_STREQ(block->sql.szServers, "127.0.0.2:3310");
    EXPECT_STREQ(block->sql.szHost, "127.0.0.2");

    Write(good + "HOST=db.agency.lan\r\n");
    ASSERT_EQ(Config_Read(block.get(), why, sizeof why), 1) << why;
    EXPECT_STREQ(block->sql.szServers, "") << "one host: as before";
    EXPECT_STREQ(block->sql.szHost, "db.agency.lan");

    const std::string host38(38, 'h');
    struct Case {
        std::string host, said;
    } cases[] = {
        {"db1,,db3", "第2个服务器是空的"},
        {"db1:3306,db2:99999", "第2个服务器的端口无效"},
        {"db1," + host38, "第2个服务器名太长"},
        {"a,b,c,d,e,f,g,h,i", "服务器太多"},
        {std::string(300, 'a'), "HOST太长"},
    };
    for (const Case& c : cases) {
        Write(good + "HOST=" + c.host + "\r\n");
        EXPECT_EQ(Config_Read(block.get(), why, sizeof why), 0) << c.host;
        EXPECT_NE(std::string(why).find(c.said), std::string::npos) << why;
        EXPECT_NE(std::string(why).find(file), std::string::npos) << why;
    }
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

// The current folder first, then the program's folder, then the user's
// own folder (%APPDATA%\Kelmora): the first file found is the one read,
// and the first-run flag is written into it.
TEST_F(ConfigTest, TheFileIsLookedForInTheCurrentThenTheProgramThenTheUsersFolder)
{
    char oldAppData[MAX_PATH] = "";
    DWORD had = GetEnvironmentVariableA("APPDATA", oldAppData, sizeof oldAppData);
    std::string appData = dir + "\\roaming", user = appData + "\\Kelmora";
    CreateDirectoryA(appData.c_str(), nullptr);
    SetEnvironmentVariableA("APPDATA", appData.c_str());

    std::vector<std::string> places = Config_Places(block.get());
    ASSERT_EQ(places.size(), 3u);
    EXPECT_EQ(places[0], file);
    EXPECT_EQ(places[1], Config_ProgramFolder() + "\\config.ini");
    EXPECT_EQ(places[2], user + "\\config.ini");
    EXPECT_FALSE(Config_ProgramFolder().empty());
    EXPECT_EQ(Config_UserFolder(), user);

    // Only the user's folder has one: it is read, and its flag written there.
    CreateDirectoryA(user.c_str(), nullptr);
    std::string userFile = user + "\\config.ini";
    HANDLE h = CreateFileA(userFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::string text = "[SERVER]\r\nUID=roaming\r\nDATABASE=agency\r\nHOST=127.0.0.9\r\n";
    DWORD n = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
    CloseHandle(h);
    char why[1200] = "";
    EXPECT_EQ(Config_Read(block.get(), why, sizeof why), 1) << why;
    EXPECT_STREQ(block->sql.szUser, "roaming");
    EXPECT_STREQ(block->sql.szHost, "127.0.0.9");
    EXPECT_EQ(std::string(Config_Path()), userFile);
    EXPECT_EQ(Notices(), 1u);
    char flag[8] = "";
    GetPrivateProfileStringA("SOFT", "INITIALIZE", "", flag, sizeof flag, userFile.c_str());
    EXPECT_STREQ(flag, "1") << "the flag goes into the file that was read";
    EXPECT_EQ(Key("SOFT", "INITIALIZE"), "<none>") << "no file is made in the current folder";

    // One in the current folder comes first.
    Write("[SOFT]\r\nINITIALIZE=1\r\n[SERVER]\r\nUID=current\r\nDATABASE=agency\r\n");
    EXPECT_EQ(Config_Read(block.get(), why, sizeof why), 1) << why;
    EXPECT_STREQ(block->sql.szUser, "current");
    EXPECT_STREQ(block->sql.szHost, "127.0.0.1");
    EXPECT_EQ(std::string(Config_Path()), file);

    // None anywhere: the cause names every place looked in.
    DeleteFileA(file.c_str());
    DeleteFileA(userFile.c_str());
    EXPECT_EQ(Config_Read(block.get(), why, sizeof why), 0);
    for (const std::string& place : places)
        EXPECT_NE(std::string(why).find(place), std::string::npos) << why;

    SetEnvironmentVariableA("APPDATA", had ? oldAppData : nullptr);
}
TEST_F(ConfigTest, LongValuesAreCutToWhatIsReadAndToTheirFields)
{
    std::string longText(60, 'x');
    Write("[SOFT]\r\nINITIALIZE=1\r\nREMIND1=-1\r\n[SERVER]\r\nUID=" + longText + "\r\nPWD=" + longText +
          "\r\nDATABASE=" + longText + "\r\nCHARSET=" + longText + "\r\nPORT=1234567890123\r\n");
    memset(block->sql.szCharset, 0x55, sizeof block->sql.szCharset);
    Config_Read(block.get());
    EXPECT_EQ(std::string(block->sql.szUser), std::string(32, 'x'));
    EXPECT_EQ(std::string(block->sql.szPwd), std::string(32, 'x'));
    EXPECT_EQ(std::string(block->sql.szDatabase), std::string(32, 'x'));
    EXPECT_EQ(std::string(block->sql.szCharset), std::string(16, 'x')) << "the field holds 16 bytes";
    EXPECT_EQ(block->sql.iPort, 123456789) << "nine characters are read";
    EXPECT_EQ(block->bRemind1, 255);
    EXPECT_STREQ(block->sql.szHost, "127.0.0.1") << "no HOST: the local machine";
}

TEST_F(ConfigTest, AChineseValueIsCutBeforeACharacterThatDoesNotFit)
{
    // "g" and ten double-byte characters: 21 bytes for a 16-byte field.
    std::string chinese = "g字字字字字字字字字字";
    ASSERT_EQ(chinese.size(), 21u);
    Write("[SOFT]\r\nINITIALIZE=1\r\n[SERVER]\r\nCHARSET=" + chinese + "\r\nDATABASE=" + chinese + "\r\n");
    Config_Read(block.get());
    EXPECT_EQ(std::string(block->sql.szCharset), chinese.substr(0, 15)) << "no half character at the end";
    EXPECT_EQ(std::string(block->sql.szDatabase), chinese);
}

TEST(ConfigNumbers, BlanksSignsAndStops)
{
    EXPECT_EQ(Config_ToInt(""), 0);
    EXPECT_EQ(Config_ToInt("abc"), 0);
    EXPECT_EQ(Config_ToInt("   42"), 42);
    EXPECT_EQ(Config_ToInt("\t-15x"), -15);
    EXPECT_EQ(Config_ToInt("+8"), 8);
    EXPECT_EQ(Config_ToInt("- 8"), 0);
    EXPECT_EQ(Config_ToInt("12 34"), 12);
    EXPECT_EQ(Config_ToInt(nullptr), 0);
    // Very long numbers keep their low bits.
    EXPECT_EQ(Config_ToInt("4294967296300") & 0xFF, 300 & 0xFF);
}

}  // namespace
