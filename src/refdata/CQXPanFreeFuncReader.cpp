#include "refdata/CQXPanFreeFuncReader.h"

#include "fileio/CQXPanLineReader.h"

namespace {

constexpr int kHeaderLines = 3;
constexpr int kRecordColumn = 0;
constexpr int kRecordWidth = 6;
constexpr int kCodeColumn = 8;
constexpr int kCodeWidth = 4;
constexpr int kTextColumn = 15;
constexpr int kTextWidth = 16;

} // namespace

CQXPanRefReadResult CQXPanFreeFuncReader::Read(QIODevice& device)
{
    CQXPanRefReadResult result;
    result.m_bOpened = true;
    CQXPanLineReader reader(device, CQXPanLineReader::kRefLineBytes, CQXPanLineReader::StopAtNul);
    QByteArray line;
    for (int i = 0; i < kHeaderLines; ++i) {
        if (!reader.ReadLine(line))
            return result;
    }
    while (result.m_rows.size() < kMaxRecords && reader.ReadLine(line) && !reader.HitEnd()) {
        // The description is taken as it stands, but a short line's own line end is not part of it.
        QByteArray body = line;
        if (body.endsWith('\n'))
            body.chop(body.endsWith("\r\n") ? 2 : 1);
        CQXPanRefRow row;
        row.m_nRecordNo = CQXPanLineReader::NumberAt(body, kRecordColumn, kRecordWidth);
        row.m_nFuncCode = CQXPanLineReader::NumberAt(body, kCodeColumn, kCodeWidth);
        row.m_strCol1 = QString::asprintf("%03d", row.m_nRecordNo);
        row.m_strCol2 = QString::fromLatin1(body.mid(kTextColumn, kTextWidth));
        row.m_strCol3 = QString::asprintf("%03d", row.m_nFuncCode);
        result.m_rows.append(row);
    }
    return result;
}

CQXPanRefReadResult CQXPanFreeFuncReader::ReadFile(const QString& path)
{
    return CQXPanRefReadResult::ReadPath(path, &Read);
}
