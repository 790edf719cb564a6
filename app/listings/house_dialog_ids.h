// Control ids of the house edit dialog (add and modify forms).
#pragma once

#define IDD_HOUSE_EDIT          2102

#define IDC_HD_ESTATE           1092    // 楼盘字典
#define IDC_HD_ADDRESS          1254    // 楼盘地址 (shown only)
#define IDC_HD_URBAN            1019    // 城区
#define IDC_HD_DIST             1043    // 片区
#define IDC_HD_RING             1042    // 环区
#define IDC_HD_BUILDNO          1099    // 栋号
#define IDC_HD_HOUSENO          1100    // 室号
#define IDC_HD_FLOOR            1102    // 楼层
#define IDC_HD_FLOORT           1103    // 总层
#define IDC_HD_AREA             1049    // 面积
#define IDC_HD_ROOMTYPE         1265    // 房型
#define IDC_HD_TOWARD           1013    // 朝向
#define IDC_HD_DECORATION       1011    // 装修
#define IDC_HD_LAYOUT           1252    // 配置
#define IDC_HD_STATUSQUO        1021    // 现状
#define IDC_HD_LOOK             1018    // 看房
#define IDC_HD_SIGN             1253    // 签约
#define IDC_HD_MORTGAGE         1012    // 抵押
#define IDC_HD_PARK             1008    // 车位
#define IDC_HD_BUILDTYPE        1015    // 建筑类型
#define IDC_HD_BUILDSTRUCT      1016    // 建筑结构
#define IDC_HD_TRADE            1089    // 交易
#define IDC_HD_SALES            1090    // 售价 (万元)
#define IDC_HD_SALESAVE         1259    // 均价 (元/平)
#define IDC_HD_SALESBASE        1260    // 到手价 (万元)
#define IDC_HD_RENT             1091    // 租价 (元/月)
#define IDC_HD_RENTAVE          1261    // 均价 (元/平/天)
#define IDC_HD_RENTBASE         1262    // 到手价 (元/月)
#define IDC_HD_NUM              1106    // 房源编号
#define IDC_HD_BUY              1258    // 购房日期
#define IDC_HD_RENTDAY          1257    // 租赁日期
#define IDC_HD_DELEGATE         1071    // 委托日期
#define IDC_HD_OWNER            1080    // 产 权 人
#define IDC_HD_OWNERTEL         1083    // its 联系电话
#define IDC_HD_LINKMAN          1081    // 委 托 人
#define IDC_HD_LINKTEL          1084    // its 联系电话
#define IDC_HD_HPC              1082    // 产 权 号
#define IDC_HD_PPTSOURCE        1263    // 产权来源
#define IDC_HD_CITIZEN          1264    // 身份国籍
#define IDC_HD_REMARK           1108    // 备注
#define IDC_HD_EMP              1117    // 登记员工
#define IDC_HD_BR               1118    // ... and branch
#define IDC_HD_PICTURE          1121    // trade indicator
#define IDC_HD_FOLLOWS          1266    // follow-up list (modify form)
#define IDC_HD_NAV              1267    // navigator toolbar (modify form)
#define IDC_HD_ADDMORE          3       // 增加继续(&N)
#define IDC_HD_WRITEFOLLOW      5       // 写跟进(&W)
#define IDC_HD_SHOWTEL          1295    // 看电话(&L)
#define IDC_HD_ADDESTATE        40056   // 增加楼盘
