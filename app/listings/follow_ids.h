// Numbers of the follow-up windows' panels, the write-follow-up dialog and
// the reminder box: shared by follow.rc and the code.
#pragma once

// ---- Dialogs -------------------------------------------------------------------------
#define IDD_FOLLOW_WRITE        162     // "房源跟进" / "客源跟进": write a follow-up
#define IDD_REMIND              194     // the reminder box

// ---- Filter panel of the follow-up windows ----------------------------------------
#define IDC_FOLLOW_PANEL        1300    // the panel itself
#define IDC_FOLLOW_BR           1118    // "部门"
#define IDC_FOLLOW_EMP          1117    // "员工"
#define IDC_FOLLOW_TRADE        1089    // "交易"
#define IDC_FOLLOW_ESTATE       1092    // "楼盘名称" (house window)
#define IDC_FOLLOW_LEVEL        1094    // "客户等级" (client window)
#define IDC_FOLLOW_FROM         1316    // "跟进日期" from
#define IDC_FOLLOW_TO           1317    // ... to
#define IDC_FOLLOW_FIND         1318    // "查找"
#define IDC_FOLLOW_CLEAR        1276    // "清空"

// ---- Write-follow-up dialog (162) ------------------------------------------------------
#define IDC_FW_WAY              1270    // "跟进方式"
#define IDC_FW_BR               1118    // branch of the writer
#define IDC_FW_EMP              1117    // the writer
#define IDC_FW_CONTENT          1272    // "跟进内容"
#define IDC_FW_REMIND           1278    // "启用提醒"
#define IDC_FW_REMIND_TEXT      1273    // "提醒内容"
#define IDC_FW_REMIND_DAY       1274    // "提醒时间"
#define IDC_FW_REMIND_RANGE     1271    // "提醒范围"
#define IDC_FW_WHY              1279    // why an owed follow-up is asked for (empty otherwise)

// ---- Reminder box (194) -------------------------------------------------------------------
#define IDC_RB_OBJECT           1348    // "对象编号": one entry per due reminder
#define IDC_RB_KIND             1112    // "提醒对象"
#define IDC_RB_RANGE            1091    // "提醒范围"
#define IDC_RB_TEXT             1065    // "提醒内容"
#define IDC_RB_STOP             1125    // "软件重启前,不再提醒"
#define IDC_RB_CLOSE            1085    // "X"
