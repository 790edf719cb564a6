// What the operation log window calls a log row: the operation (from the
// stored action and object type, one table), the kind of object, and the
// snapshot made readable.  Pure functions, usable from any thread.
#pragma once
#include <string>

// One operation name: the action (LOG_ACT_...) and the object type it is
// named for; iObjType LOG_ANY_TYPE names the action for every type.
enum { LOG_ANY_TYPE = -1 };
struct LOG_OPNAME {
    int iAct;
    int iObjType;
    const char* pszName;
};
extern const LOG_OPNAME g_LogOpNames[];
extern const int g_nLogOpNames;

// The operation's name ("房源删除"), or null when the table has no row for
// the pair (the first row of the pair or of the action for any type).
const char* Log_OperationName(int iAct, int iObjType);
// The name of an object type ("房源", "房源跟进", "登录"), or null.
const char* Log_ObjectName(int iObjType);
// The object type of a name the kind box offers, or -1.
int Log_ObjectType(const char* pszName);
// The object types the kind box offers, in order; *pCount gets how many.
const int* Log_ObjectTypes(int* pCount);

// What the window shows: the name, or for codes the table does not know
// their numbers ("动作 9 / 对象 3", "对象 21").  The pointer stays valid
// for the life of the program.
const char* Log_OperationText(int iAct, int iObjType);
const char* Log_ObjectText(int iObjType);

// The snapshot of a log row as the window shows it, rewritten in place:
// the stored separator "@,@" becomes " | ", and the telephones of a house
// or client snapshot (stored enciphered) read "******".  cb is the size of
// the buffer (the text never grows).
void Log_ReadableSnapshot(int iObjType, char* pszValue, size_t cb);
