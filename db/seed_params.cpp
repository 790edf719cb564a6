// The parameter vocabulary of a new database: categories (tag rows), names
// and values that fill the drop-down lists of every form.  The forms find
// categories and names by their texts; a few lists are filled from a fixed
// name key, so those names are written with their keys: house trade 880,
// client trade 866, client grade 348, building type 398, building structure
// 399.  Every key stays below 65536 (the parameter window packs keys into
// tree-item data).
#include "db/dbtool.h"

#include <vector>

namespace {

struct Name {
    const char* name;
    int key;                       // fixed key, or 0 for the next free one
    std::vector<const char*> values;
};

struct Category {
    int key;
    const char* tag;
    std::vector<Name> names;
};

const std::vector<Category>& Vocabulary()
{
    static const std::vector<Category> v = {
        {1, "房源参数(住宅)", {
            {"交易", 880, {"出售", "出租", "租售", "已售", "已租"}},
            {"装修", 0, {"毛坯", "简装", "中装", "精装", "豪装"}},
            {"配置", 0, {"水电气", "家电齐全", "部分家具", "全套家具", "空房"}},
            {"朝向", 0, {"东", "南", "西", "北", "南北", "东西", "东南", "西南", "东北", "西北"}},
            {"看房", 0, {"随时看房", "预约看房", "有钥匙", "业主陪同", "下班后"}},
            {"现状", 0, {"空置", "自住", "出租中", "装修中"}},
            {"车位", 0, {"无", "地面车位", "地下车位", "车库"}},
            {"交房", 0, {"即时交房", "一个月内", "三个月内", "协商"}},
            {"抵押", 0, {"无抵押", "银行抵押", "已解押"}},
            {"产权来源", 0, {"商品房", "房改房", "经济适用房", "集资房", "私产", "拆迁安置房"}},
            {"签约", 0, {"未签约", "已签约", "独家委托"}},
            {"国籍", 0, {"中国", "中国香港", "中国澳门", "中国台湾", "外籍"}},
            {"付佣", 0, {"买方付", "卖方付", "双方各付", "成交后付"}},
            {"付款", 0, {"一次性付款", "按揭贷款", "公积金贷款", "组合贷款", "月付", "季付", "半年付", "年付"}},
            {"跟进方式", 0, {"电话", "上门", "带看", "短信", "来访", "电子邮件"}},
        }},
        {2, "客源参数", {
            {"交易", 866, {"求购", "求租", "租购", "已购", "已租"}},
            {"等级", 348, {"A级(急需)", "B级(一般)", "C级(观望)", "VIP"}},
            {"性质", 0, {"自住", "投资", "办公", "商住两用", "出租"}},
            {"来源", 0, {"来电", "上门", "网络", "报纸广告", "老客户介绍", "朋友介绍", "派单"}},
            {"楼层", 0, {"不限", "低层", "中层", "高层", "一楼", "顶楼"}},
            {"委托权限", 0, {"普通委托", "独家委托", "限时委托"}},
        }},
        {3, "楼盘字典", {
            {"类型(房屋)", 0, {"住宅", "公寓", "别墅", "商铺", "写字楼", "厂房", "车库"}},
            {"结构(房屋)", 0, {"平层", "复式", "跃层", "错层"}},
            {"用途(房屋)", 0, {"住宅", "商业", "办公", "商住", "工业"}},
            {"类型(建筑)", 398, {"多层", "小高层", "高层", "超高层", "别墅", "联排别墅", "平房"}},
            {"结构(建筑)", 399, {"砖混", "框架", "框剪", "剪力墙", "钢结构", "砖木"}},
            {"土地性质", 0, {"国有土地", "集体土地"}},
            {"交房标准", 0, {"毛坯", "简装", "精装修", "带家电"}},
            {"土地来源", 0, {"出让", "划拨", "转让"}},
            {"土地用途", 0, {"住宅用地", "商业用地", "综合用地", "工业用地"}},
            {"使用期限", 0, {"70年", "50年", "40年"}},
            {"所属环区", 0, {"一环内", "一至二环", "二至三环", "三至四环", "四环外"}},
        }},
    };
    return v;
}

}  // namespace

bool DbTool_SeedParameters(MYSQL* conn, std::string* err)
{
    auto q = [&](const char* v) { return DbTool_Quote(conn, v); };
    // Category rows with their keys; then every name (those with a fixed key
    // first get it, the others the next free keys); then the values.
    std::string tags = "insert into t_param (iOrdinal, iParentIndex, szTags, iPriority) values ";
    for (size_t c = 0; c < Vocabulary().size(); ++c) {
        const Category& cat = Vocabulary()[c];
        tags += (c ? ", (" : "(") + std::to_string(cat.key) + ", 0, " + q(cat.tag) + ", " + std::to_string(c + 1) + ")";
    }
    if (!DbTool_Exec(conn, tags, err))
        return false;

    std::vector<std::pair<int, const Name*>> names;  // key, name
    for (const Category& cat : Vocabulary()) {
        int priority = 1;
        for (const Name& n : cat.names) {
            std::string sql = "insert into t_param (";
            sql += n.key ? "iOrdinal, " : "";
            sql += "iParentIndex, szName, iPriority) values (";
            sql += n.key ? std::to_string(n.key) + ", " : "";
            sql += std::to_string(cat.key) + ", " + q(n.name) + ", " + std::to_string(priority++) + ")";
            if (!DbTool_Exec(conn, sql, err))
                return false;
            names.push_back({n.key ? n.key : (int)mysql_insert_id(conn), &n});
        }
    }
    // The values of each name, in display order.
    for (const auto& kn : names) {
        std::string sql = "insert into t_param (iParentIndex, szValue, iPriority) values ";
        int priority = 1;
        for (const char* v : kn.second->values) {
            sql += (priority > 1 ? ", (" : "(") + std::to_string(kn.first) + ", " + q(v) + ", " + std::to_string(priority) + ")";
            ++priority;
        }
        if (!DbTool_Exec(conn, sql, err))
            return false;
    }
    return true;
}
