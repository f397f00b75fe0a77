#include "document/QXPanArrange.h"

#include <algorithm>
#include <numeric>

namespace QXPanArrange {

QString Text(Op op)
{
    // In the order of Op.
    static const char* const kTexts[] = {"Align Left",
                                         "Align Right",
                                         "Align Top",
                                         "Align Bottom",
                                         "Align Horizontal Centres",
                                         "Align Vertical Centres",
                                         "Distribute Horizontally",
                                         "Distribute Vertically",
                                         "Same Width",
                                         "Same Height",
                                         "Same Size"};
    return QString::fromLatin1(kTexts[int(op)]);
}

QXPanRect KeptWithin(QXPanRect r, const QXPanRect& bounds)
{
    const int w = std::min(r.Width(), bounds.Width());
    const int h = std::min(r.Height(), bounds.Height());
    const int x = std::clamp(r.left, bounds.left, bounds.right - w);
    const int y = std::clamp(r.top, bounds.top, bounds.bottom - h);
    return {x, y, x + w, y + h};
}

namespace {

// Equal gaps along one axis: first and last (by their leading edge) stay, the others follow
// the first with the gap the space leaves.
void Distribute(QList<QXPanRect>& rects, bool horizontal)
{
    if (rects.size() < 3)
        return;
    const auto lead = [horizontal](const QXPanRect& r) {
        return horizontal ? r.left : r.top;
    };
    const auto size = [horizontal](const QXPanRect& r) {
        return horizontal ? r.Width() : r.Height();
    };
    QList<qsizetype> order(rects.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return lead(rects[a]) < lead(rects[b]); });
    const QXPanRect& first = rects[order.constFirst()];
    const QXPanRect& last = rects[order.constLast()];
    int total = 0;
    for (const QXPanRect& r : rects)
        total += size(r);
    const int span = (horizontal ? last.right : last.bottom) - lead(first);
    const int gaps = int(rects.size()) - 1;
    // Floor division, so that a negative space (overlapping objects) also gives equal gaps.
    const int gap =
        (span - total) >= 0 ? (span - total) / gaps : -((total - span + gaps - 1) / gaps);
    int at = lead(first);
    for (qsizetype k : order) {
        QXPanRect& r = rects[k];
        r = horizontal ? r.MovedTo(at, r.top) : r.MovedTo(r.left, at);
        at += size(r) + gap;
    }
}

} // namespace

QList<QXPanRect> Apply(Op op, QList<QXPanRect> rects, const QXPanRect& bounds)
{
    if (rects.isEmpty())
        return rects;
    const QXPanRect ref = rects.constFirst();
    if (op == Op::DistributeHorizontally || op == Op::DistributeVertically) {
        Distribute(rects, op == Op::DistributeHorizontally);
    } else {
        for (QXPanRect& r : rects) {
            switch (op) {
            case Op::AlignLeft:
                r = r.MovedTo(ref.left, r.top);
                break;
            case Op::AlignRight:
                r = r.MovedTo(ref.right - r.Width(), r.top);
                break;
            case Op::AlignTop:
                r = r.MovedTo(r.left, ref.top);
                break;
            case Op::AlignBottom:
                r = r.MovedTo(r.left, ref.bottom - r.Height());
                break;
            case Op::AlignHorizontalCentres:
                r = r.MovedTo((ref.left + ref.right) / 2 - r.Width() / 2, r.top);
                break;
            case Op::AlignVerticalCentres:
                r = r.MovedTo(r.left, (ref.top + ref.bottom) / 2 - r.Height() / 2);
                break;
            case Op::SameWidth:
                r.right = r.left + ref.Width();
                break;
            case Op::SameHeight:
                r.bottom = r.top + ref.Height();
                break;
            case Op::SameSize:
                r = {r.left, r.top, r.left + ref.Width(), r.top + ref.Height()};
                break;
            default:
                break;
            }
        }
        rects.first() = ref;
    }
    for (QXPanRect& r : rects)
        r = KeptWithin(r, bounds);
    return rects;
}

QXPanRect Bounds(const QList<QXPanRect>& rects)
{
    if (rects.isEmpty())
        return {};
    QXPanRect box = rects.constFirst();
    for (const QXPanRect& r : rects)
        box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
               std::max(box.bottom, r.bottom)};
    return box;
}

std::pair<int, int> GroupOffset(const QList<QXPanRect>& rects, int dx, int dy,
                                const QXPanRect& bounds)
{
    if (rects.isEmpty())
        return {0, 0};
    const QXPanRect box = Bounds(rects);
    dx = std::clamp(dx, std::min(0, bounds.left - box.left), std::max(0, bounds.right - box.right));
    dy = std::clamp(dy, std::min(0, bounds.top - box.top), std::max(0, bounds.bottom - box.bottom));
    return {dx, dy};
}

int Snap(int v, int spacing)
{
    if (spacing < 2)
        return v;
    const int down = v >= 0 ? v / spacing * spacing : -((-v + spacing - 1) / spacing * spacing);
    return v - down >= (spacing + 1) / 2 ? down + spacing : down;
}

std::optional<QList<QXPanRect>> Fill(const QXPanRect& area, int rows, int columns, int gap,
                                     int minSize)
{
    if (rows < 1 || columns < 1 || gap < 0)
        return std::nullopt;
    const int w = (area.Width() - (columns - 1) * gap) / columns;
    const int h = (area.Height() - (rows - 1) * gap) / rows;
    if (w < std::max(1, minSize) || h < std::max(1, minSize))
        return std::nullopt;
    QList<QXPanRect> cells;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int x = area.left + column * (w + gap);
            const int y = area.top + row * (h + gap);
            cells.append({x, y, x + w, y + h});
        }
    }
    return cells;
}

} // namespace QXPanArrange
