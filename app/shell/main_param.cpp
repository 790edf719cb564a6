#include "app/shell/main_param.h"

tagZT_Main_Param g_ZTMain;
