#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QString>

#include <algorithm>

/// Dialog units of a font, the way dialog templates are laid out: a horizontal unit is a quarter
/// of the font's average character width, a vertical one an eighth of its height. Laying a dialog
/// out in them makes its texts fit whatever font the desktop gives.
class DialogUnits
{
public:
    explicit DialogUnits(const QFont& font)
    {
        const QFontMetrics fm(font);
        const QString sample =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        m_baseX = std::max(1, (fm.horizontalAdvance(sample) / 26 + 1) / 2);
        m_baseY = std::max(1, fm.height());
    }

    int X(int du) const { return MulDiv(du, m_baseX, 4); }
    /// A width given in pixels of the dialog font the editor was first drawn with (an average
    /// character 6 pixels wide), in pixels of this font.
    int Pixels(int px) const { return MulDiv(px, m_baseX, 6); }
    int Y(int du) const { return MulDiv(du, m_baseY, 8); }
    /// A template rectangle in pixels; each edge is converted on its own, as templates are.
    QRect Rect(int x, int y, int width, int height) const
    {
        const int left = X(x);
        const int top = Y(y);
        return QRect(left, top, X(x + width) - left, Y(y + height) - top);
    }

private:
    // Rounds halves away from zero.
    static int MulDiv(int number, int numerator, int denominator)
    {
        const long long product = static_cast<long long>(number) * numerator;
        const long long half = denominator / 2;
        return static_cast<int>(product >= 0 ? (product + half) / denominator
                                             : (product - half) / denominator);
    }

    int m_baseX = 6;
    int m_baseY = 13;
};
