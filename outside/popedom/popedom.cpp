// Placeholder until the code mapping lands: every right granted.
#include "outside/popedom/ZTPopedom.h"
#include "app/shell/main_param.h"

ZTPD_API void PD_Calc(tagZT_Main_Param* p, tagPOPEDOM*)
{
    uint32_t* w = &p->W1;
    for (int i = 0; i < 17; i++) w[i] = 0xFFFFFFFFu;
}
ZTPD_API uint32_t PD_Self(uint32_t w, int, int iExtra) { return iExtra == -1 ? (w ? 0 : 1) : w; }
ZTPD_API uint32_t PD_Akst(uint32_t w, int, int iExtra1, int) { return iExtra1 == -2 ? (w ? 0 : 2) : w; }
ZTPD_API uint32_t PD_Part(uint32_t w, int, int) { return w; }
