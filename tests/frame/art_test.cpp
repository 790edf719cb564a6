// The program's resources: string table, icon, cursor, pictures, skin data
// and the toolbar strip.
#include "tests/frame/shell_fixture.h"
#include "app/resources/resource.h"
#include "app/resources/toolbar_images.h"
#include <cstring>
#include <set>
#include <vector>

namespace {

std::string Str(int id)
{
    char buf[200] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof(buf));
    return buf;
}

TEST(Resources, StringTableHoldsTheShellTexts)
{
    struct {
        int id;
        const char* text;
    } table[] = {
        {1, "城区管理"},
        {4, "Kelmora"},
        {9, "1.0"},
        {20, "数据库连接出错"},
        {22, "初始化软件信息"},
        {23, "初始化皮肤包"},
        {24, "初始化数据库连接信息"},
        {25, "尝试连接数据库"},
        {40037, "参数管理"},
        {40054, "楼盘字典"},
        {40079, "初始化必须参数"},
        {40080, "初始化城市、城区、片区"},
        {40081, "初始化楼盘"},
        {40083, "房源浏览"},
        {40084, "客源浏览"},
        {40117, "部门、员工、职位管理"},
        {40191, "房源跟进"},
        {40193, "客源跟进"},
        {40201, "操作日志"},
        {40204, "回收站"},
    };
    for (auto& t : table)
        EXPECT_EQ(Str(t.id), t.text) << "string " << t.id;
    // The product name fits the parameter block's 51 bytes and the version its 9.
    EXPECT_LT(Str(4).size(), 51u);
    EXPECT_LT(Str(9).size(), 9u);
}

TEST(Resources, IconCursorPicturesAndSkinLoad)
{
    HINSTANCE h = GetModuleHandleA(nullptr);
    HICON icon = LoadIconA(h, MAKEINTRESOURCEA(IDI_APP));
    ASSERT_NE(icon, nullptr);
    HICON small = static_cast<HICON>(LoadImageA(h, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(small, nullptr);
    if (small)
        DestroyIcon(small);

    HCURSOR cur = LoadCursorA(h, MAKEINTRESOURCEA(IDCUR_GRID));
    ASSERT_NE(cur, nullptr);
    ICONINFO ii;
    ASSERT_TRUE(GetIconInfo(cur, &ii));
    EXPECT_FALSE(ii.fIcon);
    EXPECT_EQ(ii.xHotspot, 15u);
    EXPECT_EQ(ii.yHotspot, 15u);
    if (ii.hbmMask)
        DeleteObject(ii.hbmMask);
    if (ii.hbmColor)
        DeleteObject(ii.hbmColor);

    for (int id : {IDB_LOGIN_BACK, IDB_TRADE_189, IDB_TRADE_190, IDB_TRADE_191, IDB_TRADE_199}) {
        HBITMAP b = LoadBitmapA(h, MAKEINTRESOURCEA(id));
        ASSERT_NE(b, nullptr) << "bitmap " << id;
        BITMAP bm;
        GetObjectA(b, sizeof(bm), &bm);
        EXPECT_GE(bm.bmWidth, 32) << id;
        EXPECT_GE(bm.bmHeight, 32) << id;
        DeleteObject(b);
    }
    // The login background is large enough to be stretched without blocks.
    HBITMAP back = LoadBitmapA(h, MAKEINTRESOURCEA(IDB_LOGIN_BACK));
    BITMAP bm;
    GetObjectA(back, sizeof(bm), &bm);
    EXPECT_GE(bm.bmWidth, 300);
    DeleteObject(back);

    // The skin library asks for resource type "smf", number 102.
    HRSRC skin = FindResourceA(h, MAKEINTRESOURCEA(IDR_SKIN_SMF), "smf");
    ASSERT_NE(skin, nullptr);
    EXPECT_GT(SizeofResource(h, skin), 0u);
}

TEST(Resources, ToolbarStripHasOneDistinctImagePerCommand)
{
    HBITMAP strip = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_TOOLBAR));
    ASSERT_NE(strip, nullptr);
    BITMAP bm;
    GetObjectA(strip, sizeof(bm), &bm);
    ASSERT_EQ(bm.bmWidth, ZTIMG_WIDTH * ZTIMG_COUNT);
    ASSERT_EQ(bm.bmHeight, ZTIMG_HEIGHT);

    BITMAPINFO bi = Ui_BitmapInfo(bm.bmWidth, bm.bmHeight);
    std::vector<uint32_t> px(bm.bmWidth * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    ASSERT_EQ(GetDIBits(dc, strip, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS), bm.bmHeight);
    ReleaseDC(nullptr, dc);
    DeleteObject(strip);

    std::set<std::vector<uint32_t>> seen;
    for (int i = 0; i < ZTIMG_COUNT; i++) {
        std::vector<uint32_t> tile;
        int magenta = 0;
        for (int y = 0; y < ZTIMG_HEIGHT; y++)
            for (int x = 0; x < ZTIMG_WIDTH; x++) {
                uint32_t c = px[y * bm.bmWidth + i * ZTIMG_WIDTH + x] & 0xFFFFFF;
                tile.push_back(c);
                magenta += c == 0xFF00FF;
            }
        EXPECT_GT(magenta, 0) << "image " << i << " has no transparent background";
        EXPECT_LT(magenta, ZTIMG_WIDTH * ZTIMG_HEIGHT - 20) << "image " << i << " is nearly empty";
        EXPECT_TRUE(seen.insert(tile).second) << "image " << i << " repeats an earlier one";
    }
}

}  // namespace
