// Branches, employees, positions and permission values against a real server.
#include "tests/data_org/org_fixture.h"
#include "cipher/cipher.h"
#include "cipher/password.h"
#include "db/dbtool.h"

static const char kInUseBranch[] = "错误原因:\n\n1.数据行可能被(子部门,用户)占用\n\n2.已被其它用户删除";
static const char kInUseEmployee[] = "错误原因:\n\n1.数据行可能被(房源,客源,跟进,日志)占用\n\n2.已被其它用户删除";
static const char kInUsePosition[] = "错误原因:\n\n1.用户使用该职位,不能直接删除\n\n2.已被其它用户删除";

static void ExpectOneBox(const char* text, const char* caption)
{
    TestBoxes_ExpectOne(text, caption, MB_OK, MB_TYPEMASK);
}

static tagBRANCH NewBranch(const std::string& name, const std::string& num)
{
    tagBRANCH b = {};
    Set(b.szBr, name);
    Set(b.szNum, num);
    EXPECT_EQ(1, FD_Ist_Br(1, &b));
    return b;
}

static tagEMPLOYEE NewEmployee(int iBr, const std::string& name, int iPst = 3)
{
    tagEMPLOYEE e = {};
    e.iBr = iBr;
    e.iPst = iPst;
    Set(e.szEmp, name);
    EXPECT_EQ(1, FD_Ist_Emp(1, &e));
    return e;
}

static std::string Enciphered(const std::string& plain, int (*cipher)(const char*, char*, int))
{
    char buf[1100] = {};
    memcpy(buf, plain.data(), plain.size());
    cipher(".", buf, CIPHER_ENCODE);
    return buf;
}

static std::string Deciphered(const std::string& stored)
{
    char buf[1100] = {};
    memcpy(buf, stored.data(), stored.size());
    CipherLongText(".", buf, CIPHER_DECODE);
    return buf;
}

template <class T> static bool AllZero(const T* p, size_t count)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    for (size_t i = 0; i < count * sizeof(T); ++i)
        if (b[i])
            return false;
    return true;
}

// ---- Branches -------------------------------------------------------------------

TEST_F(OrgDb, BranchInsertStoresEveryFieldAndIsFoundInBothLists)
{
    tagBRANCH b = {};
    Set(b.szBr, HostileName());
    Set(b.szNum, "002");
    Set(b.szBLN, "BLN-7");
    Set(b.szHou_PF, "BF");
    Set(b.szCli_PF, "BK");
    Set(b.szCTCT_PF, "BH");
    Set(b.szCMSS_PF, "BY");
    Set(b.szTel, "010-1234");
    Set(b.szEmail, "a@b.c");
    Set(b.szAdd, HostileText());
    ASSERT_EQ(1, FD_Ist_Br(7, &b));
    ASSERT_GT(b.iOrdinal, 1);

    auto row = TestDb_Query("select szBr, szNum, szBLN, szHou_PF, szCli_PF, szCTCT_PF, szCMSS_PF, szTel, szEmail,"
                            " szAdd, bRecyle from t_branch where iOrdinal = " + Str(b.iOrdinal));
    ASSERT_EQ(1u, row.size());
    EXPECT_EQ((std::vector<std::string>{HostileName(), "002", "BLN-7", "BF", "BK", "BH", "BY", "010-1234", "a@b.c",
                                        HostileText(), "0"}),
              row[0]);
    auto log = LogOf(3, b.iOrdinal);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(3, log[0].iAct);
    EXPECT_EQ(7, log[0].iOpEmp);
    EXPECT_EQ(HostileName(), log[0].szValue);

    tagBRANCH* full = nullptr;
    int n = 0;
    ASSERT_EQ(FD_Sct_Br(&full, &n, 0), full);
    ASSERT_NE(nullptr, full);
    ASSERT_EQ(2, n);
    void* found = nullptr;
    tagBRANCH* f = static_cast<tagBRANCH*>(FindBr(full, &found, 0, HostileName().c_str(), n, sizeof(tagBRANCH)));
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(found, f);
    EXPECT_EQ(0, memcmp(f, &b, sizeof b));
    EXPECT_EQ(f, FindBr(full, nullptr, b.iOrdinal, nullptr, n, sizeof(tagBRANCH)));
    EXPECT_EQ(nullptr, FindBr(full, &found, b.iOrdinal, "", n, sizeof(tagBRANCH)));
    EXPECT_EQ(nullptr, found);
    Mem_Free_Br(full);

    tagBRLIST* list = nullptr;
    ASSERT_NE(nullptr, FD_Sct_BrList(&list, &n, 0));
    ASSERT_EQ(2, n);
    tagBRLIST* s = static_cast<tagBRLIST*>(FindBr(list, nullptr, 0, HostileName().c_str(), n, sizeof(tagBRLIST)));
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(b.iOrdinal, s->iOrdinal);
    EXPECT_STREQ("BF", s->szHou_PF);
    EXPECT_STREQ("BK", s->szCli_PF);
    EXPECT_STREQ("BH", s->szCTCT_PF);
    EXPECT_STREQ("BY", s->szCMSS_PF);
    EXPECT_EQ(nullptr, FindBr(list, nullptr, 0, "没有这个部门", n, sizeof(tagBRLIST)));
    Mem_Free_BrList(list);
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(OrgDb, BranchListsSortByNumberSeparateTheRecycleBinAndCutLongNames)
{
    std::string longName = "a";
    for (int i = 0; i < 30; ++i)
        longName += "中";
    TestDb_Exec("insert into t_branch (szNum, szBr, szCTCT_PF) values ('000', '" + longName +
                "', 'ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789XYZ'), ('003', '乙店', ''), ('004', '旧店', '')");
    TestDb_Exec("update t_branch set bRecyle = 1 where szBr = '旧店'");

    tagBRLIST* list = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_BrList(&list, &n, 0));
    ASSERT_EQ(3, n);
    std::string cut = "a";
    for (int i = 0; i < 24; ++i)
        cut += "中";  // 49 bytes: a 25th character would not fit whole
    EXPECT_EQ(cut, list[0].szBr);
    EXPECT_EQ(std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"), list[0].szCTCT_PF);
    EXPECT_STREQ("总店", list[1].szBr);
    EXPECT_STREQ("乙店", list[2].szBr);
    Mem_Free_BrList(list);

    tagBRANCH* bin = nullptr;
    ASSERT_NE(nullptr, FD_Sct_Br(&bin, &n, 1));
    ASSERT_EQ(1, n);
    EXPECT_STREQ("旧店", bin[0].szBr);
    EXPECT_TRUE(AllZero(bin + 1, 101));
    Mem_Free_Br(bin);
}

TEST_F(OrgDb, EmptyListsStillCarryTheirSpareRecords)
{
    int n = -5;
    tagBRLIST* bl = FD_Sct_BrList(nullptr, &n, 1);
    ASSERT_NE(nullptr, bl);
    EXPECT_EQ(0, n);
    EXPECT_TRUE(AllZero(bl, 101));
    bl[100].iOrdinal = 9;  // the last spare record is the caller's to use
    Mem_Free_BrList(bl);

    tagEMPLIST* el = FD_Sct_EmpList(nullptr, &n, 1);
    ASSERT_NE(nullptr, el);
    EXPECT_EQ(0, n);
    EXPECT_TRUE(AllZero(el, 101));
    Mem_Free_EmpList(el);

    tagBRANCH none = {};
    none.iOrdinal = 999;
    tagEMPLOYEE* emps = nullptr;
    ASSERT_NE(nullptr, FD_Sct_Emp(&none, &emps, &n));
    EXPECT_EQ(0, n);
    EXPECT_TRUE(AllZero(emps, 101));
    Mem_Free_Emp(emps);

    tagPostion* ps = FD_Sct_Pst(nullptr, &n, 1);
    ASSERT_NE(nullptr, ps);
    EXPECT_EQ(0, n);
    EXPECT_TRUE(AllZero(ps, 101));
    Mem_Free_Pst(ps);
}

TEST_F(OrgDb, BranchRenameIsRefusedWhenTheNameIsTakenOrTheRowIsGone)
{
    tagBRANCH b = NewBranch("分店", "002");
    tagBRANCH ed = b;
    Set(ed.szBr, "总店");
    EXPECT_EQ(0, FD_Upd_Br(1, &b, &ed));
    ExpectOneBox("部门名称重复或该数据被删除", "修改数据出错");
    EXPECT_EQ("分店", TestDb_Scalar("select szBr from t_branch where iOrdinal = " + Str(b.iOrdinal)));

    Set(ed.szBr, "分店二");
    Set(ed.szAdd, HostileText());
    Set(ed.szTel, "020-9");
    ASSERT_EQ(1, FD_Upd_Br(4, &b, &ed));
    EXPECT_EQ(0u, TestBoxes_Count());
    auto row = TestDb_Query("select szBr, szAdd, szTel, szNum from t_branch where iOrdinal = " + Str(b.iOrdinal));
    EXPECT_EQ((std::vector<std::string>{"分店二", HostileText(), "020-9", "002"}), row[0]);
    auto log = LogOf(3, b.iOrdinal);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(2, log[1].iAct);
    EXPECT_EQ(4, log[1].iOpEmp);
    EXPECT_EQ("分店二", log[1].szValue);

    // Keeping its own name is no repeat.
    EXPECT_EQ(1, FD_Upd_Br(1, &ed, &ed));

    tagBRANCH gone = ed;
    gone.iOrdinal = 9999;
    Set(gone.szBr, "无此店");
    EXPECT_EQ(0, FD_Upd_Br(1, &gone, &gone));
    ExpectOneBox("部门名称重复或该数据被删除", "修改数据出错");
}

TEST_F(OrgDb, BranchWithALiveEmployeeStaysUntilTheEmployeeIsDeleted)
{
    tagBRANCH b = NewBranch("东店", "005");
    tagEMPLOYEE e = NewEmployee(b.iOrdinal, "东店员工");

    EXPECT_EQ(0, FD_Del_Br(5, &b));
    ExpectOneBox(kInUseBranch, "操作失败");
    EXPECT_EQ("0", TestDb_Scalar("select bRecyle from t_branch where iOrdinal = " + Str(b.iOrdinal)));
    EXPECT_EQ(0, TestDb_Count("t_recyle"));
    // Nothing was deleted: the log holds only the addition.
    auto log = LogOf(3, b.iOrdinal);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(3, log[0].iAct);

    ASSERT_EQ(1, FD_Del_Emp(5, &e));
    ASSERT_EQ(1, FD_Del_Br(5, &b));
    EXPECT_EQ(0u, TestBoxes_Count());
    EXPECT_EQ("1", TestDb_Scalar("select bRecyle from t_branch where iOrdinal = " + Str(b.iOrdinal)));
    auto bin = TestDb_Query("select iObjOrdinal, iEmp from t_recyle where iObjType = 3");
    ASSERT_EQ(1u, bin.size());
    EXPECT_EQ((std::vector<std::string>{Str(b.iOrdinal), "5"}), bin[0]);
    log = LogOf(3, b.iOrdinal);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(1, log[1].iAct);
    EXPECT_EQ(5, log[1].iOpEmp);
    EXPECT_EQ("东店", log[1].szValue);

    int n = 0;
    tagBRLIST* live = FD_Sct_BrList(nullptr, &n, 0);
    EXPECT_EQ(nullptr, FindBr(live, nullptr, b.iOrdinal, nullptr, n, sizeof(tagBRLIST)));
    Mem_Free_BrList(live);
    tagBRLIST* rec = FD_Sct_BrList(nullptr, &n, 1);
    EXPECT_NE(nullptr, FindBr(rec, nullptr, b.iOrdinal, nullptr, n, sizeof(tagBRLIST)));
    Mem_Free_BrList(rec);
}

// ---- Employees ---------------------------------------------------------------

TEST_F(OrgDb, EmployeeInsertStoresDetailsSalesmanFlagAndAnEmptyPermissionRow)
{
    tagEMPLOYEE e = {};
    e.iBr = 1;
    e.iPst = 3;
    e.bSalesMan = 1;
    Set(e.szEmp, HostileName());
    Set(e.szNum, "0007");
    Set(e.szCardNO, Enciphered("110101199001011234", CipherText));
    Set(e.szKoseki, "北京");
    Set(e.szBirthday, "1990-01-01");
    Set(e.szSex, "女");
    Set(e.szEnrollment, "2020-05-06");
    Set(e.szCertificate, "经纪人证");
    Set(e.szAdd, "东城区");
    Set(e.szEdu, "本科");
    Set(e.szStatus, "在职");
    Set(e.szTel, "13800000000");
    Set(e.szEmail, "x@y.z");
    Set(e.szResume, "简历");
    Set(e.szRemark, HostileText());
    Set(e.szPwd, Enciphered("secret", CipherPwd));
    ASSERT_EQ(1, FD_Ist_Emp(9, &e));
    ASSERT_GT(e.iOrdinal, 1);
    EXPECT_EQ(HostileName(), e.szEmp);

    auto row = TestDb_Query("select szEmp, szNum, szCardNO, szKoseki, szBirthday, szSex, szEnrollment, szCertificate,"
                            " szAdd, szEdu, szStatus, szTel, szEmail, szResume, szRemark, szPwd, bSalesMan, iBr, iPst"
                            " from t_employee where iOrdinal = " + Str(e.iOrdinal));
    ASSERT_EQ(1u, row.size());
    // The password is kept only as a hash of it.
    EXPECT_EQ(1, Pwd_Verify("secret", row[0][15].c_str())) << row[0][15];
    row[0][15] = e.szPwd;
    EXPECT_EQ((std::vector<std::string>{HostileName(), "0007", e.szCardNO, "北京", "1990-01-01", "女", "2020-05-06",
                                        "经纪人证", "东城区", "本科", "在职", "13800000000", "x@y.z", "简历",
                                        HostileText(), e.szPwd, "1", "1", "3"}),
              row[0]);
    auto pd = TestDb_Query("select szValue, iCliReadRecordMax, iHouReadRecordMax from t_popedom where iEmp = " +
                           Str(e.iOrdinal));
    ASSERT_EQ(1u, pd.size());
    EXPECT_EQ((std::vector<std::string>{"", "0", "0"}), pd[0]);
    auto log = LogOf(4, e.iOrdinal);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(3, log[0].iAct);
    EXPECT_EQ(9, log[0].iOpEmp);
    EXPECT_EQ("1@,@" + HostileName(), log[0].szValue);

    tagBRANCH br = {};
    br.iOrdinal = 1;
    int n = 0;
    tagEMPLOYEE* list = FD_Sct_Emp(&br, nullptr, &n);
    ASSERT_NE(nullptr, list);
    tagEMPLOYEE* got = static_cast<tagEMPLOYEE*>(FindEmp(list, nullptr, e.iOrdinal, nullptr, n, sizeof(tagEMPLOYEE), 0));
    ASSERT_NE(nullptr, got);
    tagEMPLOYEE expect = e;
    memset(expect.szPwd, 0, sizeof expect.szPwd);  // never loaded
    EXPECT_EQ(0, memcmp(&expect, got, sizeof expect));
    Mem_Free_Emp(list);

    // The salesman flag is saved by the update as well.
    tagEMPLOYEE ed = e;
    ed.bSalesMan = 0;
    memset(ed.szPwd, 0, sizeof ed.szPwd);
    ASSERT_EQ(1, FD_Upd_Emp(9, &e, &ed));
    EXPECT_EQ("0", TestDb_Scalar("select bSalesMan from t_employee where iOrdinal = " + Str(e.iOrdinal)));
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(OrgDb, NamesakesGetTheirKeyAppendedOnInsertAndOnRename)
{
    tagEMPLOYEE a = NewEmployee(1, "张三");
    EXPECT_STREQ("张三", a.szEmp);
    tagEMPLOYEE b = NewEmployee(1, "张三");
    EXPECT_EQ("张三" + Str(b.iOrdinal), b.szEmp);
    EXPECT_EQ(b.szEmp, TestDb_Scalar("select szEmp from t_employee where iOrdinal = " + Str(b.iOrdinal)));

    tagEMPLOYEE h1 = NewEmployee(1, HostileName());
    tagEMPLOYEE h2 = NewEmployee(1, HostileName());
    EXPECT_EQ(HostileName(), h1.szEmp);
    EXPECT_EQ(HostileName() + Str(h2.iOrdinal), h2.szEmp);
    EXPECT_EQ(h2.szEmp, TestDb_Scalar("select szEmp from t_employee where iOrdinal = " + Str(h2.iOrdinal)));

    tagEMPLOYEE c = NewEmployee(1, "李四");
    tagEMPLOYEE ed = c;
    Set(ed.szEmp, "张三");
    ASSERT_EQ(1, FD_Upd_Emp(1, &c, &ed));
    EXPECT_EQ("张三" + Str(c.iOrdinal), ed.szEmp);
    EXPECT_EQ(ed.szEmp, TestDb_Scalar("select szEmp from t_employee where iOrdinal = " + Str(c.iOrdinal)));
    // The log row is taken right after the main update, before the key is added.
    auto log = LogOf(4, c.iOrdinal);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(2, log[1].iAct);
    EXPECT_EQ("1@,@张三", log[1].szValue);

    tagEMPLOYEE ed2 = a;
    Set(ed2.szEmp, "王五");
    ASSERT_EQ(1, FD_Upd_Emp(1, &a, &ed2));
    EXPECT_STREQ("王五", ed2.szEmp);

    // A long name gives way to the key rather than losing digits.
    std::string longName(39, 'x');
    tagEMPLOYEE l1 = NewEmployee(1, longName);
    tagEMPLOYEE l2 = NewEmployee(1, longName);
    std::string digits = Str(l2.iOrdinal);
    EXPECT_EQ(longName.substr(0, 39 - digits.size()) + digits, l2.szEmp);
    EXPECT_EQ(std::string(l1.szEmp), longName);

    int n = 0;
    tagEMPLIST* list = FD_Sct_EmpList(nullptr, &n, 0);
    tagEMPLIST* f = static_cast<tagEMPLIST*>(FindEmp(list, nullptr, 0, h2.szEmp, n, sizeof(tagEMPLIST), 1));
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(h2.iOrdinal, f->iOrdinal);
    Mem_Free_EmpList(list);
}

TEST_F(OrgDb, BranchEmployeeListHoldsOnlyLiveEmployeesWithAPermissionRow)
{
    tagBRANCH other = NewBranch("西店", "009");
    tagEMPLOYEE withRow = NewEmployee(1, "甲");
    tagEMPLOYEE noRow = NewEmployee(1, "乙");
    tagEMPLOYEE elsewhere = NewEmployee(other.iOrdinal, "丙");
    tagEMPLOYEE retired = NewEmployee(1, "丁");
    TestDb_Exec("delete from t_popedom where iEmp = " + Str(noRow.iOrdinal));
    TestDb_Exec("update t_employee set bRecyle = 1 where iOrdinal = " + Str(retired.iOrdinal));
    TestDb_Exec("update t_employee set szNum = '0000' where iOrdinal = " + Str(withRow.iOrdinal));

    tagBRANCH br = {};
    br.iOrdinal = 1;
    int n = 0;
    tagEMPLOYEE* list = nullptr;
    ASSERT_NE(nullptr, FD_Sct_Emp(&br, &list, &n));
    ASSERT_EQ(2, n);
    EXPECT_EQ(withRow.iOrdinal, list[0].iOrdinal);  // by number: "0000" before "0001"
    EXPECT_EQ(1, list[1].iOrdinal);
    Mem_Free_Emp(list);
    EXPECT_EQ(nullptr, FD_Sct_Emp(nullptr, &list, &n));

    tagEMPLIST* all = FD_Sct_EmpList(nullptr, &n, 0);
    ASSERT_EQ(4, n);  // administrator, 甲, 乙 (the short list needs no permission row), 丙
    EXPECT_NE(nullptr, FindEmp(all, nullptr, noRow.iOrdinal, nullptr, n, sizeof(tagEMPLIST), 0));
    EXPECT_EQ(nullptr, FindEmp(all, nullptr, retired.iOrdinal, nullptr, n, sizeof(tagEMPLIST), 0));
    EXPECT_EQ(nullptr, FindEmp(all, nullptr, 0, "丙", n, sizeof(tagEMPLIST), 1));
    EXPECT_NE(nullptr, FindEmp(all, nullptr, 0, "丙", n, sizeof(tagEMPLIST), 0));
    void* found = nullptr;
    EXPECT_EQ(FindEmp(all, &found, 0, "丙", n, sizeof(tagEMPLIST), other.iOrdinal), found);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(elsewhere.iOrdinal, static_cast<tagEMPLIST*>(found)->iOrdinal);
    Mem_Free_EmpList(all);

    tagEMPLIST* bin = FD_Sct_EmpList(nullptr, &n, 1);
    ASSERT_EQ(1, n);
    EXPECT_EQ(retired.iOrdinal, bin[0].iOrdinal);
    Mem_Free_EmpList(bin);
}

TEST_F(OrgDb, EmployeeUpdateWritesPasswordAndPositionOnlyWhenGiven)
{
    tagEMPLOYEE e = {};
    e.iBr = 1;
    e.iPst = 3;
    Set(e.szEmp, "赵六");
    Set(e.szPwd, Enciphered("first", CipherPwd));
    ASSERT_EQ(1, FD_Ist_Emp(1, &e));
    std::string where = " from t_employee where iOrdinal = " + Str(e.iOrdinal);
    std::string first = TestDb_Scalar("select szPwd" + where);
    EXPECT_EQ(1, Pwd_Verify("first", first.c_str()));

    tagEMPLOYEE ed = e;
    memset(ed.szPwd, 0, sizeof ed.szPwd);
    Set(ed.szTel, "139");
    ed.iBr = 77;  // the branch is never changed here
    ASSERT_EQ(1, FD_Upd_Emp(2, &e, &ed));
    EXPECT_EQ((std::vector<std::string>{first, "139", "3", "1"}),
              TestDb_Query("select szPwd, szTel, iPst, iBr" + where)[0]);

    tagEMPLOYEE ed2 = ed;
    ed2.iPst = 2;
    Set(ed2.szPwd, Enciphered("second", CipherPwd));
    ASSERT_EQ(1, FD_Upd_Emp(2, &ed, &ed2));
    auto second = TestDb_Query("select szPwd, iPst" + where)[0];
    EXPECT_EQ(1, Pwd_Verify("second", second[0].c_str()));
    EXPECT_EQ("2", second[1]);
    auto log = LogOf(4, e.iOrdinal);
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ(2, log[2].iAct);
    EXPECT_EQ(2, log[2].iOpEmp);
    EXPECT_EQ("1@,@赵六", log[2].szValue);
    EXPECT_EQ(0u, TestBoxes_Count());

    tagEMPLOYEE gone = ed2;
    gone.iOrdinal = 99999;
    EXPECT_EQ(0, FD_Upd_Emp(2, &gone, &ed2));
    ExpectOneBox("修改数据出错", "");
}

TEST_F(OrgDb, EmployeeNamedByLiveHousesOrClientsCannotBeDeleted)
{
    tagEMPLOYEE e = NewEmployee(1, "钱七");
    TestDb_Exec("insert into t_house (iEmp, iBr) values (" + Str(e.iOrdinal) + ", 1)");
    EXPECT_EQ(0, FD_Del_Emp(3, &e));
    ExpectOneBox(kInUseEmployee, "操作失败");

    TestDb_Exec("update t_house set bRecyle = 1");
    TestDb_Exec("insert into t_client (iEmp, iBr) values (" + Str(e.iOrdinal) + ", 1)");
    EXPECT_EQ(0, FD_Del_Emp(3, &e));
    ExpectOneBox(kInUseEmployee, "操作失败");
    EXPECT_EQ("0", TestDb_Scalar("select bRecyle from t_employee where iOrdinal = " + Str(e.iOrdinal)));

    TestDb_Exec("update t_client set bRecyle = 1");
    ASSERT_EQ(1, FD_Del_Emp(3, &e));
    EXPECT_EQ("1", TestDb_Scalar("select bRecyle from t_employee where iOrdinal = " + Str(e.iOrdinal)));
    EXPECT_EQ(1, TestDb_Count("t_recyle where iObjType = 4 and iEmp = 3 and iObjOrdinal = " + Str(e.iOrdinal)));
    auto log = LogOf(4, e.iOrdinal);
    ASSERT_EQ(2u, log.size());  // added, deleted (the refused attempts are not logged)
    EXPECT_EQ(1, log[1].iAct);
    EXPECT_EQ("1@,@钱七", log[1].szValue);
    EXPECT_EQ(0u, TestBoxes_Count());
}

// ---- Passwords -------------------------------------------------------------------

TEST_F(OrgDb, PasswordChangeChecksTheCurrentPasswordUnlessItIsEmpty)
{
    tagEMPLOYEE e = NewEmployee(1, "孙八");
    std::string where = " from t_employee where iOrdinal = " + Str(e.iOrdinal);
    std::string first = Enciphered("first", CipherPwd);
    std::string second = Enciphered("second", CipherPwd);

    ASSERT_EQ(1, FD_Upd_Pwd(e.iOrdinal, "", first.c_str()));
    std::string stored = TestDb_Scalar("select szPwd" + where);
    EXPECT_EQ(1, Pwd_Verify("first", stored.c_str())) << stored;
    auto log = LogOf(4, e.iOrdinal);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(8, log[1].iAct);
    EXPECT_EQ(e.iOrdinal, log[1].iOpEmp);
    EXPECT_EQ("1@,@孙八", log[1].szValue);

    EXPECT_EQ(0, FD_Upd_Pwd(e.iOrdinal, second.c_str(), second.c_str()));
    ExpectOneBox("原始密码错误", "");
    EXPECT_EQ(stored, TestDb_Scalar("select szPwd" + where));
    EXPECT_EQ(2u, LogOf(4, e.iOrdinal).size());

    ASSERT_EQ(1, FD_Upd_Pwd(e.iOrdinal, first.c_str(), second.c_str()));
    EXPECT_EQ(1, FD_LG_Check(e.iOrdinal, second.c_str()));
    // Setting the same password again still matches its row.
    EXPECT_EQ(1, FD_Upd_Pwd(e.iOrdinal, second.c_str(), second.c_str()));
    EXPECT_EQ(0u, TestBoxes_Count());
}

// ---- Permissions ---------------------------------------------------------------

TEST_F(OrgDb, SeededAdministratorReadsAllRightsAndOwnLimits)
{
    TestDb_Exec("update t_popedom set iCliReadRecordMax = 11, iHouReadRecordMax = 22 where iEmp = 1");
    char text[508] = {};
    int cli = -1, hou = -1;
    ASSERT_EQ(1, FD_Sct_DefPD(nullptr, text, &cli, &hou, nullptr, nullptr, 1));
    EXPECT_STREQ(kAllRightCodes, text);
    EXPECT_EQ(11, cli);
    EXPECT_EQ(22, hou);
}

TEST_F(OrgDb, PresetsComeAsManagerFirstAndSalesmanSecond)
{
    TestDb_Exec("update t_popedom set iCliReadRecordMax = 31, iHouReadRecordMax = 32 where iEmp = -1");
    TestDb_Exec("update t_popedom set iCliReadRecordMax = 41, iHouReadRecordMax = 42 where iPst = -1");
    std::string manager = Deciphered(TestDb_Scalar("select szValue from t_popedom where iEmp = -1"));
    std::string salesman = Deciphered(TestDb_Scalar("select szValue from t_popedom where iPst = -1"));
    ASSERT_FALSE(manager.empty());
    ASSERT_NE(manager, salesman);

    char first[512] = {}, second[512] = {};
    int c2 = 0, h2 = 0, c1 = 0, h1 = 0;
    ASSERT_EQ(1, FD_Sct_DefPD(first, second, &c2, &h2, &c1, &h1, -1));
    EXPECT_EQ(manager, first);
    EXPECT_EQ(salesman, second);
    EXPECT_EQ(31, c1);
    EXPECT_EQ(32, h1);
    EXPECT_EQ(41, c2);
    EXPECT_EQ(42, h2);
    // The seed's salesman preset has no right beyond its own records.
    EXPECT_NE(std::string::npos, salesman.find("01"));
    EXPECT_EQ(std::string::npos, salesman.find("04"));
}

TEST_F(OrgDb, PermissionReadNeedsExactlyTwoRows)
{
    char text[508] = {};
    int cli = -1, hou = -1;
    tagEMPLOYEE e = NewEmployee(1, "周九");
    TestDb_Exec("delete from t_popedom where iEmp = " + Str(e.iOrdinal));
    EXPECT_EQ(0, FD_Sct_DefPD(nullptr, text, &cli, &hou, nullptr, nullptr, e.iOrdinal));

    TestDb_Exec("insert into t_popedom (iEmp, szValue) values (1, '')");
    EXPECT_EQ(0, FD_Sct_DefPD(nullptr, text, &cli, &hou, nullptr, nullptr, 1));

    TestDb_Exec("delete from t_popedom where iEmp = 1 and szValue = ''");
    TestDb_Exec("delete from t_popedom where iPst = -1");
    EXPECT_EQ(0, FD_Sct_DefPD(nullptr, text, &cli, &hou, nullptr, nullptr, 1));
    EXPECT_STREQ("", text);
    EXPECT_EQ(-1, cli);
    EXPECT_EQ(-1, hou);
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(OrgDb, StoredPermissionsAreReadBackDeciphered)
{
    tagEMPLOYEE e = NewEmployee(1, "吴十");
    std::string value = Enciphered("0102030H1B", CipherLongText);
    ASSERT_EQ(1, FD_Upd_EmpPD(1, e.iOrdinal, value.c_str(), 5, 6));
    EXPECT_EQ((std::vector<std::string>{value, "5", "6"}),
              TestDb_Query("select szValue, iCliReadRecordMax, iHouReadRecordMax from t_popedom where iEmp = " +
                           Str(e.iOrdinal))[0]);
    char text[508] = {};
    int cli = 0, hou = 0;
    ASSERT_EQ(1, FD_Sct_DefPD(nullptr, text, &cli, &hou, nullptr, nullptr, e.iOrdinal));
    EXPECT_STREQ("0102030H1B", text);
    EXPECT_EQ(5, cli);
    EXPECT_EQ(6, hou);

    tagBRANCH br = {};
    br.iOrdinal = 1;
    int n = 0;
    tagEMPLOYEE* list = FD_Sct_Emp(&br, nullptr, &n);
    tagEMPLOYEE* got = static_cast<tagEMPLOYEE*>(FindEmp(list, nullptr, e.iOrdinal, nullptr, n, sizeof(tagEMPLOYEE), 0));
    ASSERT_NE(nullptr, got);
    EXPECT_EQ(value, got->szValue);
    EXPECT_EQ(5, got->iCliReadRecordMax);
    EXPECT_EQ(6, got->iHouReadRecordMax);
    Mem_Free_Emp(list);

    EXPECT_EQ(0, FD_Upd_EmpPD(1, 99999, value.c_str(), 1, 1));
    ASSERT_EQ(1, FD_Upd_PSTPD(1, 2, value.c_str()));
    EXPECT_EQ(value, TestDb_Scalar("select szValue from t_popedom where iPst = 2"));
    EXPECT_EQ(0, FD_Upd_PSTPD(1, 99999, value.c_str()));
    EXPECT_EQ(0u, TestBoxes_Count());
    EXPECT_EQ(0, TestDb_Count("t_log where iAct <> 3 and iAct <> 4"));
}

// ---- Positions ---------------------------------------------------------------

TEST_F(OrgDb, PositionInsertCreatesItsPermissionRowAndRefusesARepeatedName)
{
    tagPostion p = {};
    Set(p.szPST, HostileName());
    p.iBasePay = 3000;
    p.iLevel = 4;
    Set(p.szDescribe, "带看");
    ASSERT_EQ(1, FD_Ist_Pst(6, &p));
    ASSERT_GT(p.iOrdinal, 3);
    EXPECT_EQ((std::vector<std::string>{HostileName(), "3000", "4", "带看"}),
              TestDb_Query("select szPST, iBasePay, iLevel, szDescribe from t_position where iOrdinal = " +
                           Str(p.iOrdinal))[0]);
    EXPECT_EQ(1, TestDb_Count("t_popedom where szValue = '' and iPst = " + Str(p.iOrdinal)));
    auto log = LogOf(5, p.iOrdinal);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(3, log[0].iAct);
    EXPECT_EQ(6, log[0].iOpEmp);
    EXPECT_EQ(HostileName(), log[0].szValue);

    tagPostion again = p;
    EXPECT_EQ(0, FD_Ist_Pst(6, &again));
    ExpectOneBox("数据行重复", "");
    // A name in the recycle bin still blocks.
    TestDb_Exec("update t_position set bRecyle = 1 where iOrdinal = " + Str(p.iOrdinal));
    EXPECT_EQ(0, FD_Ist_Pst(6, &again));
    ExpectOneBox("数据行重复", "");
    EXPECT_EQ(4, TestDb_Count("t_position"));
}

TEST_F(OrgDb, PositionUpdateRefusesAnotherPositionsName)
{
    tagPostion p = {};
    Set(p.szPST, "经纪人");
    ASSERT_EQ(1, FD_Ist_Pst(1, &p));
    tagPostion ed = p;
    Set(ed.szPST, "店长");
    EXPECT_EQ(0, FD_Upd_Pst(1, &p, &ed));
    ExpectOneBox("数据行重复", "");

    Set(ed.szPST, "经纪人");
    ed.iBasePay = 4500;
    ed.iLevel = 2;
    Set(ed.szDescribe, HostileName());
    ASSERT_EQ(1, FD_Upd_Pst(8, &p, &ed));
    EXPECT_EQ((std::vector<std::string>{"经纪人", "4500", "2", HostileName()}),
              TestDb_Query("select szPST, iBasePay, iLevel, szDescribe from t_position where iOrdinal = " +
                           Str(p.iOrdinal))[0]);
    auto log = LogOf(5, p.iOrdinal);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(2, log[1].iAct);
    EXPECT_EQ(8, log[1].iOpEmp);
    EXPECT_EQ("经纪人", log[1].szValue);
    EXPECT_EQ(0u, TestBoxes_Count());

    tagPostion gone = ed;
    gone.iOrdinal = 9999;
    Set(gone.szPST, "无此职位");
    EXPECT_EQ(0, FD_Upd_Pst(8, &gone, &gone));
    ExpectOneBox("修改失败", "");
}

TEST_F(OrgDb, PositionHeldByALiveEmployeeCannotBeDeleted)
{
    tagPostion p = {};
    Set(p.szPST, "助理");
    ASSERT_EQ(1, FD_Ist_Pst(1, &p));
    tagEMPLOYEE e = NewEmployee(1, "郑一", p.iOrdinal);
    EXPECT_EQ(0, FD_Del_Pst(2, &p));
    ExpectOneBox(kInUsePosition, "操作失败");
    EXPECT_EQ("0", TestDb_Scalar("select bRecyle from t_position where iOrdinal = " + Str(p.iOrdinal)));

    ASSERT_EQ(1, FD_Del_Emp(2, &e));
    ASSERT_EQ(1, FD_Del_Pst(2, &p));
    EXPECT_EQ(1, TestDb_Count("t_recyle where iObjType = 5 and iEmp = 2 and iObjOrdinal = " + Str(p.iOrdinal)));
    auto log = LogOf(5, p.iOrdinal);
    ASSERT_EQ(2u, log.size());  // added, deleted (not the refused attempt)
    EXPECT_EQ(1, log[1].iAct);
    EXPECT_EQ("助理", log[1].szValue);

    int n = 0;
    tagPostion* live = FD_Sct_Pst(nullptr, &n, 0);
    EXPECT_EQ(3, n);
    EXPECT_EQ(nullptr, FindPst(live, nullptr, p.iOrdinal, nullptr, n));
    Mem_Free_Pst(live);
    tagPostion* bin = FD_Sct_Pst(nullptr, &n, 1);
    ASSERT_EQ(1, n);
    EXPECT_EQ(p.iOrdinal, bin[0].iOrdinal);
    Mem_Free_Pst(bin);
}

TEST_F(OrgDb, PositionListKeepsWholeNamesAndLeavesTheCountOnFailure)
{
    tagPostion p = {};
    Set(p.szPST, "一二三四五六七八九十");                               // 20 bytes, as the dialog allows
    Set(p.szDescribe, "一二三四五六七八九十一二三四五六七八九十一二三四五");  // 50 bytes
    ASSERT_EQ(1, FD_Ist_Pst(1, &p));
    tagPostion* list = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Pst(&list, &n, 0));
    ASSERT_EQ(4, n);
    tagPostion* found = nullptr;
    EXPECT_EQ(FindPst(list, &found, 0, "一二三四五六七八九十", n), found);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(0, memcmp(found, &p, sizeof p));
    EXPECT_EQ(nullptr, FindPst(list, nullptr, 0, "", n));
    EXPECT_STREQ("店长", FindPst(list, nullptr, 2, nullptr, n)->szPST);
    Mem_Free_Pst(list);

    std::string errlog = TestReadFile("errlog.log");
    TestDb_Exec("rename table t_position to t_position_away");
    n = 42;
    EXPECT_EQ(nullptr, FD_Sct_Pst(&list, &n, 0));
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(42, n);
    EXPECT_EQ(errlog, TestReadFile("errlog.log"));
    TestDb_Exec("rename table t_position_away to t_position");
}

// Two desks editing one branch, employee or position from forms each loaded
// before the other's save: the later stores nothing, its box names what the
// other desk changed, no log row is written for it, and the earlier form
// goes on saving from what it stored.
TEST_F(OrgDb, OrganisationSavesFromStaleFormsAreRefusedNamingTheOtherDesksChange)
{
    const std::string refused = "其他用户同时修改了同一数据,这次操作没有保存,请刷新后再试.\n\n其他用户修改了: ";
    tagBRANCH br = NewBranch("分店", "002");
    auto branch = [&]() {
        tagBRANCH* list = nullptr;
        int n = 0;
        EXPECT_NE(nullptr, FD_Sct_Br(&list, &n, 0));
        tagBRANCH r = *static_cast<tagBRANCH*>(FindBr(list, nullptr, br.iOrdinal, nullptr, n, sizeof(tagBRANCH)));
        Mem_Free_Br(list);
        return r;
    };
    tagBRANCH bA = branch(), bB = branch();
    tagBRANCH ba = bA, bb = bB;
    Set(ba.szTel, "020-1");
    Set(ba.szBr, "分店一");
    Set(bb.szEmail, "b@x");
    ASSERT_EQ(1, FD_Upd_Br(1, &bA, &ba));
    long long logs = TestDb_Count("t_log");
    EXPECT_EQ(0, FD_Upd_Br(1, &bB, &bb));
    ExpectOneBox((refused + "部门名称、电话").c_str(), "修改失败");
    EXPECT_EQ((std::vector<std::string>{"分店一", "020-1", ""}),
              TestDb_Query("select szBr, szTel, coalesce(szEmail, '') from t_branch where iOrdinal = " + Str(br.iOrdinal))[0]);
    EXPECT_EQ(logs, TestDb_Count("t_log"));
    tagBRANCH ba2 = ba;
    Set(ba2.szEmail, "a@x");
    ASSERT_EQ(1, FD_Upd_Br(1, &ba, &ba2));
    EXPECT_EQ(2, branch().iVersion);

    tagEMPLOYEE emp = NewEmployee(br.iOrdinal, "王五");
    auto employee = [&]() {
        int n = 0;
        tagEMPLOYEE* list = FD_Sct_Emp(&br, nullptr, &n);
        EXPECT_NE(nullptr, list);
        tagEMPLOYEE r = *static_cast<tagEMPLOYEE*>(FindEmp(list, nullptr, emp.iOrdinal, nullptr, n, sizeof(tagEMPLOYEE), 0));
        Mem_Free_Emp(list);
        return r;
    };
    tagEMPLOYEE eA = employee(), eB = employee();
    tagEMPLOYEE ea = eA, eb = eB;
    ea.bSalesMan = !eA.bSalesMan;
    Set(ea.szStatus, "离职");
    Set(eb.szRemark, "desk B");
    ASSERT_EQ(1, FD_Upd_Emp(1, &eA, &ea));
    logs = TestDb_Count("t_log");
    EXPECT_EQ(0, FD_Upd_Emp(1, &eB, &eb));
    ExpectOneBox((refused + "状态、业务员").c_str(), "修改失败");
    EXPECT_EQ((std::vector<std::string>{"离职", ""}),
              TestDb_Query("select szStatus, coalesce(szRemark, '') from t_employee where iOrdinal = " + Str(emp.iOrdinal))[0]);
    EXPECT_EQ(logs, TestDb_Count("t_log"));
    tagEMPLOYEE ea2 = ea;
    Set(ea2.szRemark, "desk A");
    ASSERT_EQ(1, FD_Upd_Emp(1, &ea, &ea2));
    EXPECT_EQ(2, employee().iVersion);

    tagPostion pst = {};
    Set(pst.szPST, "经纪人");
    ASSERT_EQ(1, FD_Ist_Pst(1, &pst));
    auto position = [&]() {
        tagPostion* list = nullptr;
        int n = 0;
        EXPECT_NE(nullptr, FD_Sct_Pst(&list, &n, 0));
        tagPostion r = *FindPst(list, nullptr, pst.iOrdinal, nullptr, n);
        Mem_Free_Pst(list);
        return r;
    };
    tagPostion pA = position(), pB = position();
    tagPostion pa = pA, pb = pB;
    pa.iBasePay = 4500;
    Set(pb.szDescribe, "desk B");
    ASSERT_EQ(1, FD_Upd_Pst(1, &pA, &pa));
    logs = TestDb_Count("t_log");
    EXPECT_EQ(0, FD_Upd_Pst(1, &pB, &pb));
    ExpectOneBox((refused + "底薪").c_str(), "修改失败");
    EXPECT_EQ((std::vector<std::string>{"4500", ""}),
              TestDb_Query("select iBasePay, coalesce(szDescribe, '') from t_position where iOrdinal = " + Str(pst.iOrdinal))[0]);
    EXPECT_EQ(logs, TestDb_Count("t_log"));
    tagPostion pa2 = pa;
    pa2.iLevel = 3;
    ASSERT_EQ(1, FD_Upd_Pst(1, &pa, &pa2));
    EXPECT_EQ(2, position().iVersion);
}
