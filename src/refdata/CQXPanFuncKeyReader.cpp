#include "refdata/CQXPanFuncKeyReader.h"

#include "fileio/CQXPanLineReader.h"

#include <QHash>
#include <optional>

namespace {

constexpr int kVariantColumn = 0;
constexpr int kAcceptColumn = 2;
constexpr int kRecordColumn = 5;
constexpr int kCodeColumn = 11;
constexpr int kCodeWidth = 3;
constexpr int kLegendColumn = 20;

// Takes the line chosen for each record index in index order. Lines chosen for higher indexes
// wait until every index below them has been delivered.
class RecordSequence
{
public:
    explicit RecordSequence(QList<CQXPanRefRow>& rows) : m_rows(rows) {}

    int next() const { return m_next; }
    bool stopped() const { return m_bStopped; }
    bool isPending(int index) const { return m_pending.contains(index); }

    // line is empty when the first run of lines with this index held no fitting line.
    void deliver(int index, std::optional<QByteArray> line)
    {
        if (index != m_next) {
            m_pending.insert(index, std::move(line));
            return;
        }
        take(line);
        while (!m_bStopped && m_pending.contains(m_next))
            take(m_pending.take(m_next));
    }

private:
    void take(const std::optional<QByteArray>& line)
    {
        if (!line) {
            m_bStopped = true;
            return;
        }
        if (++m_next >= CQXPanFuncKeyReader::kMaxRecords)
            m_bStopped = true;
        const QByteArray text = CQXPanLineReader::TrimmedRight(*line);
        if (text.startsWith('#'))
            return;
        if (CQXPanLineReader::NumberAt(text, kVariantColumn) != 402 &&
            CQXPanLineReader::NumberAt(text, kAcceptColumn) != 0)
            return;
        CQXPanRefRow row;
        row.m_nFuncCode = CQXPanLineReader::NumberAt(text, kCodeColumn, kCodeWidth);
        row.m_strCol2 = QString::fromLatin1(text.mid(kLegendColumn));
        row.m_strCol3 = QString::asprintf("%03d", row.m_nFuncCode);
        m_rows.append(row);
    }

    QList<CQXPanRefRow>& m_rows;
    QHash<int, std::optional<QByteArray>> m_pending;
    int m_next = 0;
    bool m_bStopped = false;
};

} // namespace

bool CQXPanFuncKeyReader::FitsKey402(int variant)
{
    return (variant / 100 == 4 && (variant % 100 == 2 || variant % 100 == 0)) ||
           (variant / 100 == 0 && variant % 100 == 2) || variant == 0;
}

CQXPanRefReadResult CQXPanFuncKeyReader::Read(QIODevice& device)
{
    CQXPanRefReadResult result;
    result.m_bOpened = true;
    RecordSequence records(result.m_rows);
    CQXPanLineReader reader(device, CQXPanLineReader::kRefLineBytes,
                            CQXPanLineReader::DropCr | CQXPanLineReader::StopAtNul);

    // The run of consecutive lines that share one record index.
    bool inRun = false;
    int runIndex = 0;
    bool runCounts = false; // first run of an index still to be delivered
    bool runFound = false;
    auto closeRun = [&] {
        if (inRun && runCounts && !runFound)
            records.deliver(runIndex, std::nullopt);
    };

    QByteArray line;
    while (!records.stopped() && reader.ReadLine(line)) {
        const int index = CQXPanLineReader::NumberAt(line, kRecordColumn);
        if (!inRun || index != runIndex) {
            closeRun();
            if (records.stopped())
                break;
            inRun = true;
            runIndex = index;
            runCounts = index >= records.next() && index < kMaxRecords && !records.isPending(index);
            runFound = false;
        }
        if (runCounts && !runFound &&
            FitsKey402(CQXPanLineReader::NumberAt(line, kVariantColumn))) {
            runFound = true;
            records.deliver(index, line);
        }
    }
    if (!records.stopped())
        closeRun();
    if (device.isOpen() && !device.atEnd() && !records.stopped())
        result.m_result = FileResult::Failed(QString(), device.errorString());
    return result;
}

CQXPanRefReadResult CQXPanFuncKeyReader::ReadFile(const QString& path)
{
    return CQXPanRefReadResult::ReadPath(path, &Read);
}
