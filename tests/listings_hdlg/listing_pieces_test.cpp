// The pieces every listing edit dialog is built from, on real controls:
// the field table (numbers refused by name, texts cut on a whole GBK
// character, rights), the telephone block (masked values never read back,
// the stored form exactly the field cipher's) and leaving a record.
#include "tests/frame/shell_fixture.h"
#include "app/listings/listing_dialog.h"
#include "app/listings/listing_phones.h"
#include "app/shell/field_table.h"
#include "app/shell/rights.h"
#include "cipher/cipher.h"
#include "common/gbk.h"

#include <cstddef>
#include <cstring>
#include <string>

namespace {

struct Rec {
    int32_t iKey;
    char szName[11];
    char guard1[5];
    int32_t iPrice;
    double dbArea;
    char dDay[11];
    char szShown[20];
    char szTel[257];
    char szMan[26];
    char guard2[5];
};

enum { ID_NAME = 101, ID_PRICE, ID_AREA, ID_DAY, ID_SHOWN, ID_TEL, ID_MAN };

#define R(f) offsetof(Rec, f), sizeof(Rec::f)
const ZT_FIELD kTable[] = {
    {ID_NAME, ZF_TEXT, R(szName), 0, ZF_NO_RIGHT, "名称", nullptr, 0, 0},
    {ID_PRICE, ZF_INT, R(iPrice), 0, 7, "售价", nullptr, 0, ZFF_ZERO_EMPTY | ZFF_LOCK},
    {ID_AREA, ZF_DECIMAL, R(dbArea), 19, 12, "面积", "%.2f", 0, 0},
    {ID_DAY, ZF_DATE, R(dDay), 10, ZF_NO_RIGHT, "日期", nullptr, 0, 0},
    {ID_SHOWN, ZF_SHOWN, R(szShown), 0, ZF_NO_RIGHT, "地址", nullptr, 0, 0},
};
const LISTING_PHONE_BOX kPhones[] = {
    {ID_MAN, R(szMan), FALSE},
    {ID_TEL, R(szTel), TRUE},
};
#undef R
const int kRows = sizeof(kTable) / sizeof(kTable[0]);

std::string Stored(const char* plain)
{
    char buf[300] = "";
    strcpy(buf, plain);
    CipherText("", buf, CIPHER_ENCODE);
    return buf;
}

class ListingPiecesTest : public testing::Test {
protected:
    HWND dlg = nullptr;
    static void SetUpTestSuite() { Shell_Setup(); }
    void SetUp() override
    {
        TestBoxes_Reset();
        dlg = Ui_CreateDialog(60, 60, 400, 300);
        for (int id = ID_NAME; id <= ID_MAN; id++)
            Ui_Child(dlg, "Edit", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 10, 10 + (id - ID_NAME) * 28, 360, 24, id);
    }
    void TearDown() override { DestroyWindow(dlg); }
    std::string Text(int id) { return Ui_Text(GetDlgItem(dlg, id)); }
    void Set(int id, const std::string& s) { SetDlgItemTextA(dlg, id, s.c_str()); }
};

TEST_F(ListingPiecesTest, NumbersAreParsedStrictlyAndRefusedByName)
{
    int32_t i = -1;
    double d = -1;
    EXPECT_EQ(Field_ParseInt(" 2147483647 ", &i), ZFP_OK);
    EXPECT_EQ(i, 2147483647);
    EXPECT_EQ(Field_ParseInt("", &i), ZFP_OK);
    EXPECT_EQ(i, 0);
    for (const char* big : {"2147483648", "99999999999999999999999"})
        EXPECT_EQ(Field_ParseInt(big, &i), ZFP_TOO_LARGE) << big;
    for (const char* bad : {"-1", "1e3", "12a", "1 2", "\xA3\xB1", "1.5"})
        EXPECT_EQ(Field_ParseInt(bad, &i), ZFP_NOT_NUMBER) << bad;
    EXPECT_EQ(Field_ParseDecimal("80.5", 0, &d), ZFP_OK);
    EXPECT_DOUBLE_EQ(d, 80.5);
    EXPECT_EQ(Field_ParseDecimal(".", 0, &d), ZFP_NOT_NUMBER);
    EXPECT_EQ(Field_ParseDecimal("1.2.3", 0, &d), ZFP_NOT_NUMBER);
    EXPECT_EQ(Field_ParseDecimal("10000000000", 0, &d), ZFP_TOO_LARGE);
    EXPECT_EQ(Field_ParseDecimal(("1" + std::string(300, '0')).c_str(), 0, &d), ZFP_TOO_LARGE);

    // In a dialog: the first bad box is named, takes the focus, and the
    // record keeps what it held for it.
    Rec r = {};
    r.iPrice = 5;
    Set(ID_PRICE, "99999999999");
    Set(ID_AREA, "abc");
    EXPECT_EQ(Fields_Read(dlg, kTable, kRows, &r), ID_PRICE);
    TestBoxes_ExpectOnly("「售价」的数值太大, 最大 2147483647");
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, ID_PRICE));
    EXPECT_EQ(r.iPrice, 5);
    Set(ID_PRICE, "12");
    EXPECT_EQ(Fields_Read(dlg, kTable, kRows, &r), ID_AREA);
    EXPECT_EQ(TestBoxes_Taken()[1].text, "「面积」必须是数字");
}

TEST_F(ListingPiecesTest, TextsAreCutOnAWholeCharacterAndShownAsTheRecordHoldsThem)
{
    Rec r;
    memset(&r, 0x7A, sizeof(r));
    // Nine ASCII bytes and a double-byte character: the character does not fit.
    Set(ID_NAME, "123456789\xD5\x5C" + HostileText() + std::string(300, 'x'));
    Set(ID_PRICE, " 0 ");
    Set(ID_AREA, "80.456");
    Set(ID_DAY, "2026-12-09");
    Set(ID_SHOWN, "never read");
    ASSERT_EQ(Fields_Read(dlg, kTable, kRows, &r), 0);
    EXPECT_STREQ(r.szName, "123456789");
    EXPECT_EQ(std::string(r.guard1, 5), "zzzzz");
    EXPECT_EQ(r.iPrice, 0);
    EXPECT_DOUBLE_EQ(r.dbArea, 80.456);
    EXPECT_STREQ(r.dDay, "2026-12-09");
    EXPECT_EQ(std::string(r.szShown, 3), "zzz");
    // Ten bytes ending in a double-byte character fit exactly.
    Set(ID_NAME, "12345678\xD5\x5C" "9");
    Fields_Read(dlg, kTable, kRows, &r);
    EXPECT_STREQ(r.szName, "12345678\xD5\x5C");
    EXPECT_EQ(TestBoxes_Count(), 0u);

    strcpy(r.dDay, "0000-00-00");
    strcpy(r.szShown, "文三路 1 号");
    Fields_Show(dlg, kTable, kRows, &r);
    EXPECT_EQ(Text(ID_PRICE) + "|" + Text(ID_AREA) + "|" + Text(ID_DAY) + "|" + Text(ID_SHOWN),
              "|80.46|" "|文三路 1 号");
    r.iPrice = -1;    // shown unsigned, as the grid's owners expect
    Fields_Show(dlg, kTable, kRows, &r);
    EXPECT_EQ(Text(ID_PRICE), "4294967295");

    // Limits and rights: a withheld lockable right locks, another disables.
    Fields_Limit(dlg, kTable, kRows);
    EXPECT_EQ(SendDlgItemMessageA(dlg, ID_NAME, EM_GETLIMITTEXT, 0, 0), 10);
    EXPECT_EQ(SendDlgItemMessageA(dlg, ID_AREA, EM_GETLIMITTEXT, 0, 0), 19);
    Fields_ApplyRights(dlg, kTable, kRows, &g_ZTMain, [](const tagZT_Main_Param*, int n) { return n != 7 && n != 12 ? TRUE : FALSE; });
    EXPECT_TRUE(Rights_IsLocked(GetDlgItem(dlg, ID_PRICE)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, ID_PRICE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, ID_AREA)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, ID_NAME)));
}

TEST_F(ListingPiecesTest, MaskedTelephonesAreNeverReadBackAndStoredExactlyAsTheCipherWritesThem)
{
    Rec old = {};
    std::string stored = Stored("13800001111");
    strcpy(old.szTel, stored.c_str());
    strcpy(old.szMan, "王先生");
    char plain[64];
    Phones_Decipher(old.szTel, plain, sizeof(plain));
    EXPECT_STREQ(plain, "13800001111");

    LISTING_PHONES ph;
    Phones_Init(&ph, kPhones, 2, TRUE, FALSE);
    Phones_Show(&ph, dlg, &old);
    EXPECT_EQ(Text(ID_MAN) + Text(ID_TEL), LISTING_MASK LISTING_MASK);
    // Whatever the masked boxes say, the stored values are kept.
    Set(ID_TEL, "66668888");
    Rec r = {};
    Phones_Read(&ph, dlg, &old, &r);
    EXPECT_EQ(std::string(r.szTel), stored);
    EXPECT_STREQ(r.szMan, "王先生");
    EXPECT_FALSE(Phones_FollowOwed(&ph));

    // Revealed: deciphered once, a follow-up owed without the sparing right.
    EXPECT_TRUE(Phones_Reveal(&ph, dlg, &old));
    EXPECT_FALSE(Phones_Reveal(&ph, dlg, &old));
    EXPECT_EQ(Text(ID_TEL), "13800001111");
    EXPECT_TRUE(Phones_FollowOwed(&ph));
    Set(ID_TEL, "0571-88886666");
    Set(ID_MAN, HostileText() + std::string(300, 'y'));
    Phones_Read(&ph, dlg, &old, &r);
    EXPECT_EQ(std::string(r.szTel), Stored("0571-88886666"));
    std::string man = HostileText() + std::string(300, 'y');
    EXPECT_EQ(std::string(r.szMan), man.substr(0, Gbk_CutLen(man.c_str(), man.size(), 25)));
    // A telephone longer than the cipher takes is cut to its first 120 bytes.
    Set(ID_TEL, std::string(300, '8'));
    Phones_Read(&ph, dlg, &old, &r);
    EXPECT_EQ(std::string(r.szTel), Stored(std::string(120, '8').c_str()));
    EXPECT_LT(strlen(r.szTel), sizeof(r.szTel));
    // An empty telephone stays empty.
    Set(ID_TEL, "");
    Phones_Read(&ph, dlg, &old, &r);
    EXPECT_STREQ(r.szTel, "");

    // Masking off: readable from the start, nothing owed, the sparing right too.
    Phones_Init(&ph, kPhones, 2, FALSE, FALSE);
    Phones_Show(&ph, dlg, &old);
    EXPECT_EQ(Text(ID_TEL), "13800001111");
    EXPECT_FALSE(Phones_Reveal(&ph, dlg, &old));
    EXPECT_FALSE(Phones_FollowOwed(&ph));
    Phones_Init(&ph, kPhones, 2, TRUE, TRUE);
    Phones_Reveal(&ph, dlg, &old);
    EXPECT_FALSE(Phones_FollowOwed(&ph));
}

struct LeaveLog {
    BOOL dirty;
    int saveResult;
    int saves, settles;
};

TEST_F(ListingPiecesTest, LeavingARecordAsksAboutUnsavedChangesBeforeTheOwedFollowUp)
{
    LeaveLog log = {};
    LISTING_LEAVE lv = {&log, [](void* c) { return static_cast<LeaveLog*>(c)->dirty; },
                        [](void* c) {
                            LeaveLog* l = static_cast<LeaveLog*>(c);
                            l->saves++;
                            return l->saveResult;
                        },
                        [](void* c) { static_cast<LeaveLog*>(c)->settles++; }};
    // Unchanged: no question, the owed follow-up still comes.
    EXPECT_TRUE(Listing_MayLeave(dlg, &lv));
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(log.settles, 1);
    log.dirty = TRUE;
    TestBoxes_Answer(IDCANCEL);    // stay
    EXPECT_FALSE(Listing_MayLeave(dlg, &lv));
    TestBoxes_Answer(IDNO);        // drop the changes
    EXPECT_TRUE(Listing_MayLeave(dlg, &lv));
    EXPECT_EQ(log.saves, 0);
    log.saveResult = -1;           // save, but a check fails: stay
    TestBoxes_Answer(IDYES);
    EXPECT_FALSE(Listing_MayLeave(dlg, &lv));
    log.saveResult = 1;
    TestBoxes_Answer(IDYES);
    EXPECT_TRUE(Listing_MayLeave(dlg, &lv));
    EXPECT_EQ(log.saves, 2);
    EXPECT_EQ(log.settles, 3);
    ASSERT_EQ(TestBoxes_Count(), 4u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "数据已修改, 是否保存?");
    EXPECT_EQ(TestBoxes_Taken()[0].flags & 0xF, static_cast<UINT>(MB_YESNOCANCEL));
}

}  // namespace
