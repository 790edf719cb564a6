// Words of the demo data and of the generated benchmark data that stand for
// parameter values.  Each is one of the values the seed's vocabulary
// (seed_params.cpp) offers in the forms' drop-down lists, so a list filtered
// by a value chosen from such a list finds these rows.  The arrays keep
// their lengths: the generators draw from them with a seeded sequence, and
// the rest of the data stays the same on every machine.
#pragma once

namespace demo_words {

inline const char* const kTowards[] = {"南", "南北", "东南", "东", "西南", "北"};
inline const char* const kDecorations[] = {"毛坯", "简装", "中装", "精装", "豪装"};
inline const char* const kLayouts[] = {"家电齐全", "部分家具", "空房"};
inline const char* const kStatus[] = {"空置", "自住", "出租中"};
inline const char* const kLooks[] = {"随时看房", "预约看房", "有钥匙"};
inline const char* const kMortgage[] = {"无抵押", "银行抵押"};
inline const char* const kParks[] = {"无", "地面车位", "地下车位"};
inline const char* const kSign[] = {"未签约", "已签约"};
inline const char* const kBuildTypes[] = {"多层", "小高层", "高层"};
inline const char* const kBuildStructs[] = {"砖混", "框架", "框剪"};
inline const char* const kHouseTypes[] = {"住宅", "公寓", "别墅"};
inline const char* const kHouseStructs[] = {"平层", "复式", "跃层"};
inline const char* const kRings[] = {"一环内", "一至二环", "二至三环", "三至四环"};
inline const char* const kTitleSources[] = {"商品房", "房改房", "经济适用房"};
inline const char* const kWays[] = {"电话", "上门", "带看", "短信"};
inline const char* const kLevels[] = {"A级(急需)", "B级(一般)", "C级(观望)"};
inline const char* const kClientSources[] = {"上门", "来电", "网络", "老客户介绍"};
inline const char* const kPayments[] = {"一次性付款", "按揭贷款", "月付", "季付"};
inline const char* const kFloorWishes[] = {"低层", "中层", "高层", "不限"};

}  // namespace demo_words
