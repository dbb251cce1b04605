#include "KeySyms.h"

#include <Qt>

namespace {

struct Pair
{
    int key;
    quint32 sym;
};

constexpr Pair specialKeys[] = {
    {Qt::Key_Escape, 0xff1b},    {Qt::Key_Tab, 0xff09},    {Qt::Key_Backtab, 0xfe20},
    {Qt::Key_Backspace, 0xff08}, {Qt::Key_Return, 0xff0d}, {Qt::Key_Enter, 0xff8d},
    {Qt::Key_Insert, 0xff63},    {Qt::Key_Delete, 0xffff}, {Qt::Key_Pause, 0xff13},
    {Qt::Key_Print, 0xff61},     {Qt::Key_Home, 0xff50},   {Qt::Key_End, 0xff57},
    {Qt::Key_Left, 0xff51},      {Qt::Key_Up, 0xff52},     {Qt::Key_Right, 0xff53},
    {Qt::Key_Down, 0xff54},      {Qt::Key_PageUp, 0xff55}, {Qt::Key_PageDown, 0xff56},
    {Qt::Key_Menu, 0xff67},      {Qt::Key_Space, 0x0020},
};

} // namespace

quint32 keysymForQtKey(int qtKey)
{
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F35)
        return 0xffbe + quint32(qtKey - Qt::Key_F1);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return quint32(qtKey - Qt::Key_A) + 'a';
    for (const Pair &p : specialKeys) {
        if (p.key == qtKey)
            return p.sym;
    }
    // Printable Latin-1 keys share their code with the keysym.
    if ((qtKey > 0x20 && qtKey <= 0x7e) || (qtKey >= 0xa0 && qtKey <= 0xff))
        return quint32(qtKey);
    return 0;
}
