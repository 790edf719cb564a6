// The parameter dictionary: the seeded vocabulary, the merged category and
// name load, values with their duplicate guards, and the drop-down fills.
#include "tests/data_dicts/dicts_test.h"

#include <map>

namespace {

struct ParamTest : DictsTest {
    tagARGC* tags = nullptr;
    tagARGC* names = nullptr;
    tagARGC* values = nullptr;
    int nTags = 0, nNames = 0, nValues = 0;

    void LoadCache()
    {
        ASSERT_NE(FD_sct_Argc_Name(&tags, &names, &nTags, &nNames), nullptr);
        ASSERT_NE(_FD_sct_Argc_Value(nullptr, &values, &nValues, 1, 0), nullptr);
    }
    void TearDown() override
    {
        Mem_Free_Argc(tags);
        Mem_Free_Argc(names);
        Mem_Free_Argc(values);
        DictsTest::TearDown();
    }
    int NameKey(const char* tag, const char* name)
    {
        const tagARGC* n = FindArgcName(tags, nTags, names, nNames, tag, name);
        return n ? n->iOrdinal : 0;
    }
    std::vector<std::string> Values(int iName)
    {
        FillRecorder rec;
        FillArgcCombo(values, nValues, iName, FillRecorder::Add, &rec);
        return rec.texts;
    }
};

TEST_F(ParamTest, SeedHoldsEveryNameTheFormsLookUpWithTheirKeys)
{
    LoadCache();
    const std::map<std::string, std::vector<std::string>> lookedUp = {
        {"房源参数(住宅)", {"交易", "装修", "配置", "朝向", "看房", "现状", "车位", "交房", "抵押", "产权来源", "签约", "国籍",
                        "付佣", "付款", "跟进方式"}},
        {"客源参数", {"交易", "等级", "性质", "来源", "楼层", "委托权限"}},
        {"楼盘字典", {"类型(房屋)", "结构(房屋)", "用途(房屋)", "类型(建筑)", "结构(建筑)", "土地性质", "交房标准", "土地来源",
                    "土地用途", "使用期限", "所属环区"}},
    };
    for (const auto& cat : lookedUp)
        for (const std::string& name : cat.second) {
            int key = NameKey(cat.first.c_str(), name.c_str());
            ASSERT_NE(key, 0) << cat.first << " / " << name;
            EXPECT_LT(key, 65536);
            EXPECT_FALSE(Values(key).empty()) << cat.first << " / " << name;
        }
    EXPECT_EQ(NameKey("房源参数(住宅)", "交易"), 880);
    EXPECT_EQ(NameKey("客源参数", "交易"), 866);
    EXPECT_EQ(NameKey("客源参数", "等级"), 348);
    EXPECT_EQ(NameKey("楼盘字典", "类型(建筑)"), 398);
    EXPECT_EQ(NameKey("楼盘字典", "结构(建筑)"), 399);
    EXPECT_EQ(Values(NameKey("房源参数(住宅)", "朝向")),
              (std::vector<std::string>{"东", "南", "西", "北", "南北", "东西", "东南", "西南", "东北", "西北"}));
    std::vector<std::string> trade = Values(880);
    ASSERT_GE(trade.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(trade.begin(), trade.begin() + 3), (std::vector<std::string>{"出售", "出租", "租售"}));
    EXPECT_EQ(Values(398).front(), "多层");
    EXPECT_EQ(Values(399).front(), "砖混");
    // Every row of a level leaves the other levels' columns NULL.
    EXPECT_EQ(TestDb_Count("t_param where szValue is not null and (szTags is not null or szName is not null)"), 0);
    EXPECT_EQ(TestDb_Count("t_param where szName is not null and (szTags is not null or szValue is not null)"), 0);
    EXPECT_EQ(TestDb_Count("t_param where length(szValue) > 16 or length(szName) > 16 or length(szTags) > 16"), 0);
}

TEST_F(ParamTest, MergedLoadGroupsNamesByCategoryInOrder)
{
    // A category without names, and a name whose category is in the recycle bin.
    int empty = InsertRow("insert into t_param (iParentIndex, szTags) values (0, " + Q("员工参数") + ")");
    int gone = InsertRow("insert into t_param (iParentIndex, szTags, bRecyle) values (0, " + Q("旧参数") + ", 1)");
    InsertRow("insert into t_param (iParentIndex, szName) values (" + std::to_string(gone) + ", " + Q("孤儿") + ")");
    int last = InsertRow("insert into t_param (iParentIndex, szTags) values (0, " + Q("其他参数") + ")");
    int late = InsertRow("insert into t_param (iParentIndex, szName, iPriority) values (" + std::to_string(last) + ", " +
                         Q("备注") + ", 2)");
    int early = InsertRow("insert into t_param (iParentIndex, szName, iPriority) values (" + std::to_string(last) + ", " +
                          Q("说明") + ", 1)");
    LoadCache();
    ASSERT_EQ(nTags, 5);
    EXPECT_EQ(tags[3].iOrdinal, empty);
    EXPECT_STREQ(tags[3].szTags, "员工参数");
    EXPECT_EQ(tags[4].iOrdinal, last);
    EXPECT_EQ(tags[nTags].iOrdinal, 0);  // spare slots follow

    int lastCategory = -1;
    for (int i = 0; i < nNames; ++i) {
        const tagARGC& n = names[i];
        ASSERT_NE(n.pCategory, nullptr) << n.szName;
        EXPECT_EQ(n.pCategory->iOrdinal, n.iCategory);
        EXPECT_EQ(n.iParentIndex, 0);
        EXPECT_STRNE(n.szName, "孤儿");
        int idx = (int)(n.pCategory - tags);
        ASSERT_TRUE(idx >= 0 && idx < nTags);
        EXPECT_GE(idx, lastCategory) << "names out of category order at " << i;
        lastCategory = idx;
    }
    ASSERT_GE(nNames, 2);
    EXPECT_EQ(names[nNames - 2].iOrdinal, early);  // by priority within the category
    EXPECT_EQ(names[nNames - 1].iOrdinal, late);
    EXPECT_EQ(names[nNames - 1].pCategory, &tags[4]);
    EXPECT_EQ(names[nNames].iOrdinal, 0);
    EXPECT_EQ(FindArgc(tags, nTags, empty), &tags[3]);
    EXPECT_EQ(FindArgc(names, nNames, 4242), nullptr);

    // Loading again through the same pointers releases and replaces them.
    tagARGC* oldNames = names;
    ASSERT_NE(FD_sct_Argc_Name(&tags, &names, &nTags, &nNames), nullptr);
    EXPECT_EQ(names[nNames - 1].iOrdinal, late);
    (void)oldNames;
}

TEST_F(ParamTest, NameWithoutValuesGivesFreeSlotsAndAnEmptyFill)
{
    LoadCache();
    int key = InsertRow("insert into t_param (iParentIndex, szName) values (1, " + Q("空参数") + ")");
    tagARGC name = {};
    name.iOrdinal = key;
    tagARGC* list = nullptr;
    int n = -1;
    ASSERT_NE(FD_sct_Argc_Value(&name, &list, &n), nullptr);
    EXPECT_EQ(n, 0);
    for (int i = 0; i < 101; ++i)
        ASSERT_EQ(list[i].iOrdinal, 0);
    HWND combo = MakeCombo();
    EXPECT_EQ(FillArgcCombo(combo, list, n, key), -1);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
    DestroyWindow(combo);
    // A null name loads nothing and releases what the pointer held.
    EXPECT_EQ(FD_sct_Argc_Value(nullptr, &list, &n), nullptr);
    EXPECT_EQ(list, nullptr);
}

TEST_F(ParamTest, ValueTextsKeepSixteenBytes)
{
    int name = 880;
    tagARGC v = {};
    v.iParentIndex = name;
    Set(v.szValue, "一二三四五六七八");  // 16 bytes
    ASSERT_EQ(FD_Ist_Argc_Value(1, &v), 1);
    int cut = InsertRow("insert into t_param (iParentIndex, szValue, iPriority) values (880, " + Q("a一二三四五六七八") + ", 99)");
    tagARGC n = {};
    n.iOrdinal = name;
    tagARGC* list = nullptr;
    int count = 0;
    ASSERT_NE(FD_sct_Argc_Value(&n, &list, &count), nullptr);
    tagARGC* whole = FindArgc(list, count, v.iOrdinal);
    ASSERT_NE(whole, nullptr);
    EXPECT_STREQ(whole->szValue, "一二三四五六七八");
    EXPECT_EQ(whole->iParentIndex, name);
    tagARGC* shortened = FindArgc(list, count, cut);
    ASSERT_NE(shortened, nullptr);
    EXPECT_STREQ(shortened->szValue, "a一二三四五六七");  // 15 bytes: no half character
    EXPECT_EQ(&list[count - 1], shortened);            // by priority
    Mem_Free_Argc(list);
}

TEST_F(ParamTest, AddingAValueTheNameHasIsRefusedEvenFromTheRecycleBin)
{
    TestDb_Exec("update t_param set bRecyle = 1 where iParentIndex = 880 and szValue = " + Q("已租"));
    tagARGC v = {};
    v.iParentIndex = 880;
    Set(v.szValue, "已租");
    EXPECT_EQ(FD_Ist_Argc_Value(1, &v), 0);
    ExpectOneBox("已存在相同数据,增加失败", "");
    EXPECT_EQ(v.iOrdinal, 0);
    // The same text under another name is a different value.
    v.iParentIndex = 866;
    Set(v.szValue, "典当");
    EXPECT_EQ(FD_Ist_Argc_Value(3, &v), 1);
    // Logged as what it is, an addition.
    EXPECT_EQ(TestDb_Scalar("select szValue from t_log where iAct = 3 and iObjType = 10 and iOpEmp = 3 and iObjID = " +
                            std::to_string(v.iOrdinal)),
              "866@,@典当");
}

TEST_F(ParamTest, ChangesReportTheRowsTheServerChanged)
{
    int sale = atoi(TestDb_Scalar("select iOrdinal from t_param where iParentIndex = 880 and szValue = " + Q("出售")).c_str());
    tagARGC old = {};
    old.iOrdinal = sale;
    old.iParentIndex = 880;
    old.iPriority = 1;
    Set(old.szValue, "出售");

    // A rename to a name the parameter has: refused as such, not logged.
    tagARGC dup = old;
    Set(dup.szValue, "出租");
    EXPECT_EQ(FD_Upd_Argc_Value(1, &old, &dup), 0);
    ExpectOneBox("已存在相同数据, 或该数据已被其他用户删除, 修改失败", "");
    EXPECT_EQ(TestDb_Scalar("select szValue from t_param where iOrdinal = " + std::to_string(sale)), "出售");

    // Priority only: no guard, so the row's own text does not block it.
    tagARGC prio = old;
    prio.iPriority = 7;
    EXPECT_EQ(FD_Upd_Argc_Value(1, &old, &prio), 1);
    ExpectOneBox("修改数据 1.行", "操作成功");
    EXPECT_EQ(TestDb_Scalar("select iPriority from t_param where iOrdinal = " + std::to_string(sale)), "7");

    tagARGC renamed = prio;
    Set(renamed.szValue, "急售");
    EXPECT_EQ(FD_Upd_Argc_Value(1, &prio, &renamed), 1);
    ExpectOneBox("修改数据 1.行", "操作成功");
    EXPECT_EQ(TestDb_Count("t_log where iAct = 2 and iObjType = 10 and iObjID = " + std::to_string(sale)), 2);

    EXPECT_EQ(FD_Del_Argc_Value(1, &renamed), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Count("t_param where iOrdinal = " + std::to_string(sale)), 0);
    // The log row keeps what was deleted.
    EXPECT_EQ(TestDb_Scalar("select szValue from t_log where iAct = 1 and iObjType = 10 and iObjID = " +
                            std::to_string(sale)),
              std::to_string(renamed.iParentIndex) + "@,@" + renamed.szValue);
}

TEST_F(ParamTest, ValueLoadsOrderAndTheRecycledMode)
{
    int name = InsertRow("insert into t_param (iParentIndex, szName) values (1, " + Q("测试") + ")");
    std::string parent = std::to_string(name);
    InsertRow("insert into t_param (iParentIndex, szValue, iPriority) values (" + parent + ", 'b', 1)");
    InsertRow("insert into t_param (iParentIndex, szValue, iPriority) values (" + parent + ", 'a', 1)");
    InsertRow("insert into t_param (iParentIndex, szValue, iPriority) values (" + parent + ", 'z', 0)");
    int recycled = InsertRow("insert into t_param (iParentIndex, szValue, bRecyle) values (" + parent + ", 'old', 1)");
    tagARGC n = {};
    n.iOrdinal = name;
    tagARGC* list = nullptr;
    int count = 0;
    ASSERT_NE(_FD_sct_Argc_Value(&n, &list, &count, 0, 0), nullptr);
    ASSERT_EQ(count, 3);
    EXPECT_STREQ(list[0].szValue, "z");  // priority, then text
    EXPECT_STREQ(list[1].szValue, "a");
    EXPECT_STREQ(list[2].szValue, "b");
    EXPECT_EQ(list[0].iParentIndex, name);

    ASSERT_NE(_FD_sct_Argc_Value(nullptr, &list, &count, 0, 1), nullptr);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0].iOrdinal, recycled);
    EXPECT_STREQ(list[0].szTags, "房源参数(住宅)");
    EXPECT_STREQ(list[0].szName, "测试");
    EXPECT_STREQ(list[0].szValue, "old");
    Mem_Free_Argc(list);

    // The start-up cache holds live values only, grouped by name.
    LoadCache();
    for (int i = 1; i < nValues; ++i)
        ASSERT_LE(values[i - 1].iParentIndex, values[i].iParentIndex);
    EXPECT_EQ(Values(name), (std::vector<std::string>{"z", "a", "b"}));
}

TEST_F(ParamTest, FormFillsListsByCategoryAndNameTexts)
{
    LoadCache();
    HWND toward = MakeCombo(), trade = MakeCombo(), other = MakeCombo();
    ZT_ARGC_BIND binds[] = {{"朝向", toward, 0}, {"交易", trade, 0}, {"没有这个", other, 0}};
    EXPECT_EQ(FillArgcCombos(tags, nTags, names, nNames, values, nValues, "客源参数", binds, 3), 1);
    EXPECT_EQ(ComboItems(trade), (std::vector<std::string>{"求购", "求租", "租购", "已购", "已租"}));
    EXPECT_EQ(SendMessageA(toward, CB_GETCOUNT, 0, 0), 0);  // not a client parameter
    EXPECT_EQ(binds[0].iFirst, -1);
    SendMessageA(trade, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(FillArgcCombos(tags, nTags, names, nNames, values, nValues, "房源参数(住宅)", binds, 3), 2);
    EXPECT_EQ(ComboItems(trade).front(), "出售");
    EXPECT_EQ(ComboItems(toward).size(), 10u);
    EXPECT_GE(binds[0].iFirst, 0);
    EXPECT_EQ(values[binds[0].iFirst].iParentIndex, NameKey("房源参数(住宅)", "朝向"));
    EXPECT_EQ(binds[2].iFirst, -1);
    EXPECT_EQ(SendMessageA(other, CB_GETCOUNT, 0, 0), 0);
    DestroyWindow(toward);
    DestroyWindow(trade);
    DestroyWindow(other);
}

TEST_F(ParamTest, HostileValuesRoundTrip)
{
    const std::string hostile = "'\\\"%\xD5\x5C');--";
    tagARGC v = {};
    v.iParentIndex = 880;
    Set(v.szValue, hostile);
    ASSERT_EQ(FD_Ist_Argc_Value(1, &v), 1);
    EXPECT_EQ(TestDb_Scalar("select szValue from t_param where iOrdinal = " + std::to_string(v.iOrdinal)), hostile);
    EXPECT_EQ(FD_Ist_Argc_Value(1, &v), 0);  // the duplicate check matches it exactly
    ExpectOneBox("已存在相同数据,增加失败", "");
    tagARGC renamed = v;
    Set(renamed.szValue, "\xB1\x5C'x");
    EXPECT_EQ(FD_Upd_Argc_Value(1, &v, &renamed), 1);
    ExpectOneBox("修改数据 1.行", "操作成功");
    LoadCache();
    EXPECT_EQ(Values(880).front(), "\xB1\x5C'x");  // priority 0 sorts first
}

}  // namespace
