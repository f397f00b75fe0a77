#include "document/QXPanObjectTypes.h"

#include "document/CQXPanKeyObj.h"

namespace QXPanObj {

QString TypeName(int type)
{
    static const char* const kNames[kTypeCount] = {"Background",
                                                   "Place Bitmap",
                                                   "Table(Rectangle)",
                                                   "Table(Round)",
                                                   "System Key(Rectangle)",
                                                   "System Key(Round)",
                                                   "Free Function(Rectangle)",
                                                   "Free Function(Round)"};
    return type >= 0 && type < kTypeCount ? QString::fromLatin1(kNames[type]) : QString();
}

int ObjectTypeOf(const CQXPanKeyObj& key)
{
    const int s = key.Shape() == 0 ? 0 : key.Shape() - 1;
    if (key.TypeCode() == kQXPanTableCode)
        return TypeTableRect + s;
    if (key.GetNumber() != 0)
        return TypeFreeFuncRect + s;
    return TypeSysKeyRect + s;
}

QXPanColor ContrastColour(QXPanColor colour)
{
    const int sum = int(colour & 0xFF) + int((colour >> 8) & 0xFF) + int((colour >> 16) & 0xFF);
    return sum / 3 > 127 ? 0x000000u : 0xFFFFFFu;
}

} // namespace QXPanObj
