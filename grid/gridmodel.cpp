#include "gridmodel.h"

#include "text.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <climits>

using namespace Qt::Literals::StringLiterals;

namespace {

// Multi-line cell texts are written with 0x09 for CR and 0x08 for LF, so
// that each cell stays on one line of the file; a text without 0x08 keeps
// its tabs.
QString decodedCellText(QString text, bool multiline)
{
    if (text.contains(QChar(0x08))) {
        text.replace(QChar(0x09), QChar(u'\r'));
        text.replace(QChar(0x08), QChar(u'\n'));
    }
    if (!multiline) {
        const qsizetype cr = text.indexOf(u'\r');
        if (cr >= 0)
            text.truncate(cr);
    }
    return text;
}

QString withoutTags(const QString &text)
{
    QString out;
    bool inTag = false;
    for (const QChar c : text) {
        if (c == u'<')
            inTag = true;
        else if (c == u'>' && inTag)
            inTag = false;
        else if (!inTag)
            out += c;
    }
    return out;
}

// The lines of a grid file, without their ends (LF or CR LF), decoded. A
// last line without an end counts; the empty nothing after a last end does
// not.
class GridLines
{
public:
    explicit GridLines(QByteArrayView data)
        : m_data(data)
    { }
    bool atEnd() const { return m_at >= m_data.size(); }
    QString next()
    {
        qsizetype end = m_data.indexOf('\n', m_at);
        if (end < 0)
            end = m_data.size();
        qsizetype length = end - m_at;
        if (length > 0 && m_data.at(m_at + length - 1) == '\r')
            --length;
        const QString line
            = decodeWindows1252(QByteArray::fromRawData(m_data.data() + m_at, length));
        m_at = end + 1;
        return line;
    }

private:
    QByteArrayView m_data;
    qsizetype m_at = 0;
};

} // namespace

EGridError::EGridError(const QString &message, FileFault fault, QString path, QString detail)
    : std::runtime_error(message.toStdString())
    , m_fault(fault)
    , m_path(std::move(path))
    , m_detail(std::move(detail))
{ }

int gridNumber(QStringView text)
{
    qsizetype blanks = 0;
    while (blanks < text.size() && (text[blanks] == u' ' || text[blanks] == u'\t'))
        ++blanks;
    const NumberStart start = numberStart(text, blanks);
    const int base = start.base;
    const bool negative = start.negative;
    qsizetype i = start.digits;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hexDigitValue(text[i]);
        if (digit < 0 || digit >= base)
            break;
        value = std::min<qint64>(value * base + digit, qint64(INT_MAX) + 1);
    }
    return static_cast<int>(std::clamp<qint64>(negative ? -value : value, INT_MIN, INT_MAX));
}

GridModel::GridModel()
{
    SetColCount(5);
    SetRowCount(5);
    SetFixedRows(1);
}

void GridModel::SetColCount(int count)
{
    count = std::max(count, 1);
    m_colCount = count;
    const qsizetype old = m_colWidths.size();
    m_colWidths.resize(count);
    for (qsizetype c = old; c < count; ++c)
        m_colWidths[c] = DefaultColWidthValue;
    for (GridRow &row : m_rows) {
        if (row.cells.size() > count)
            row.cells.resize(count);
    }
    if (m_fixedCols >= count)
        m_fixedCols = count - 1;
    m_col = std::min(m_col, count - 1);
    changed(true);
}

void GridModel::SetRowCount(int count)
{
    count = std::max(count, 1);
    const qsizetype old = m_rows.size();
    if (count < old)
        rowsAboutToMove();
    m_rows.resize(count);
    for (qsizetype r = old; r < count; ++r)
        m_rows[r].height = m_defaultRowHeight;
    if (m_fixedRows >= count)
        m_fixedRows = count - 1;
    m_row = std::min(m_row, count - 1);
    changed(true);
}

void GridModel::SetFixedRows(int count)
{
    m_fixedRows = std::clamp(count, 0, std::max(RowCount() - 1, 0));
    changed(true);
}

void GridModel::SetFixedCols(int count)
{
    m_fixedCols = std::clamp(count, 0, m_colCount - 1);
    changed(true);
}

int GridModel::ColWidths(int col) const
{
    return col >= 0 && col < m_colWidths.size() ? m_colWidths[col] : DefaultColWidthValue;
}

void GridModel::SetColWidths(int col, int width)
{
    if (col < 0 || col >= m_colWidths.size())
        return;
    m_colWidths[col] = std::clamp(width, 0, MaxColWidth);
    changed(true);
}

int GridModel::RowHeights(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].height : m_defaultRowHeight;
}

void GridModel::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row].height = height;
    changed(true);
}

void GridModel::SetDefaultRowHeight(int height)
{
    m_defaultRowHeight = height;
    for (GridRow &row : m_rows)
        row.height = height;
    changed(true);
}

void GridModel::SetFixedRowHeight(int height)
{
    m_fixedRowHeight = height;
    for (int r = 0; r < m_fixedRows; ++r)
        m_rows[r].height = height;
    changed(true);
}

GridCell *GridModel::cell(int col, int row)
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= m_rows.size())
        return nullptr;
    QList<GridCell> &cells = m_rows[row].cells;
    if (cells.size() <= col)
        cells.resize(col + 1);
    return &cells[col];
}

const GridCell *GridModel::cell(int col, int row) const
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= m_rows.size())
        return nullptr;
    const QList<GridCell> &cells = m_rows[row].cells;
    return col < cells.size() ? &cells[col] : nullptr;
}

QString GridModel::Cells(int col, int row) const
{
    const GridCell *c = cell(col, row);
    return c ? c->text : QString();
}

void GridModel::SetCells(int col, int row, const QString &text)
{
    if (GridCell *c = cell(col, row)) {
        c->text = text;
        changed(false, col, row);
    }
}

void GridModel::ClearCells()
{
    for (GridRow &row : m_rows) {
        for (GridCell &c : row.cells)
            c.text.clear();
    }
    changed(true);
}

std::optional<bool> GridModel::CheckBox(int col, int row) const
{
    const GridCell *c = cell(col, row);
    return c ? c->checkBox : std::nullopt;
}

void GridModel::SetCheckBox(int col, int row, bool state)
{
    if (GridCell *c = cell(col, row)) {
        c->checkBox = state;
        changed(false, col, row);
    }
}

void GridModel::FocusCell(int col, int row)
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= RowCount())
        return;
    m_col = col;
    m_row = row;
    changed(true);
}

void GridModel::BeginGridUpdate()
{
    if (m_view && !m_view->isShown())
        return;
    ++m_updateCount;
    if (m_view)
        m_view->setRedraw(false);
}

void GridModel::EndGridUpdate()
{
    if (m_view && !m_view->isShown())
        return;
    if (m_updateCount > 0)
        --m_updateCount;
    if (m_updateCount == 0 && m_view) {
        m_view->setRedraw(true);
        m_view->gridChanged(true, -1, -1);
    }
}

void GridModel::changed(bool whole, int col, int row)
{
    if (m_view)
        m_view->gridChanged(whole, col, row);
}

void GridModel::rowsAboutToMove()
{
    if (m_view)
        m_view->rowsAboutToMove();
}

void GridModel::LoadGridFile(const QString &path)
{
    LoadGridData(ReadGridFile(path), path);
}

QByteArray GridModel::ReadGridFile(const QString &path)
{
    using Fault = EGridError::FileFault;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        throw EGridError(u"Cannot open file "_s + path + u": not a regular file"_s,
                         Fault::NotRegularFile, path);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EGridError(u"Cannot open file "_s + path, Fault::CannotOpen, path,
                         file.errorString());
    // What the file holds, never more than the limit, even from a file that
    // grows while it is read: into a buffer of the file's size, grown only
    // if the file grows, so that a small file costs no buffer of the limit.
    QByteArray bytes(qsizetype(std::clamp<qint64>(file.size(), 0, MaxFileSize)) + 1,
                     Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > MaxFileSize)
                break;
            bytes.resize(qsizetype(std::min<qint64>(2 * qint64(got), MaxFileSize + 1)));
        }
        const qint64 read = file.read(bytes.data() + got, bytes.size() - got);
        if (read <= 0)
            break; // the end, or an error, told below
        got += qsizetype(read);
    }
    bytes.truncate(got);
    if (bytes.size() > MaxFileSize) {
        throw EGridError(u"Cannot load file "_s + path + u": larger than 16 MiB"_s, Fault::TooLarge,
                         path);
    }
    if (file.error() != QFileDevice::NoError) {
        throw EGridError(u"Cannot read file "_s + path + u": "_s + file.errorString(),
                         Fault::CannotRead, path, file.errorString());
    }
    return bytes;
}

void GridModel::LoadGridData(const QByteArray &data, const QString &path)
{
    rowsAboutToMove();
    GridLines lines(data);
    const QString counts = lines.next();
    if (!counts.isEmpty())
        applyCounts(counts, path);

    while (!lines.atEnd()) {
        const QString line = lines.next();
        if (line.startsWith(u"cw"_s)) {
            readWidthLine(line);
        } else {
            readCellLine(line);
            if (m_view)
                m_view->loadProgress();
        }
    }
    // Width lines are measured once, here, not one by one.
    changed(true);
}

void GridModel::applyCounts(QStringView line, const QString &path)
{
    const qsizetype comma = line.indexOf(u',');
    qint64 cols = gridNumber(comma < 0 ? line : line.first(comma));
    qint64 rows = gridNumber(comma < 0 ? QStringView() : line.sliced(comma + 1));
    if (!m_countsIncludeFixed) {
        cols += m_fixedCols;
        rows += m_fixedRows;
    }
    cols = std::max<qint64>(cols, 1);
    rows = std::max<qint64>(rows, 1);
    if (cols * rows > MaxCells) {
        throw EGridError(
            u"Cannot load file %1: %2 columns by %3 rows is more than %4 cells"_s.arg(
                path, QString::number(cols), QString::number(rows), QString::number(MaxCells)),
            EGridError::FileFault::TooManyCells, path);
    }
    SetColCount(static_cast<int>(cols));
    SetRowCount(static_cast<int>(rows));
}

void GridModel::readWidthLine(QStringView line)
{
    const QStringView rest = line.size() > 3 ? line.sliced(3) : QStringView();
    const qsizetype comma = rest.indexOf(u',');
    const int col = gridNumber(comma < 0 ? QStringView() : rest.first(comma));
    const int width = gridNumber(rest.sliced(comma + 1).left(255));
    if (col >= 0 && col < m_colCount)
        m_colWidths[col] = std::clamp(width, 0, MaxColWidth);
}

void GridModel::readCellLine(QStringView line)
{
    const qsizetype first = line.indexOf(u',');
    const int col = gridNumber(first < 0 ? QStringView() : line.first(first));
    QStringView rest = line.sliced(first + 1);
    const qsizetype second = rest.indexOf(u',');
    const int row = gridNumber(second < 0 ? QStringView() : rest.first(second));
    rest = rest.sliced(second + 1);
    if (col < 0 || row < 0 || col >= m_colCount || row >= RowCount())
        return; // names no cell of the grid
    cell(col, row)->text = decodedCellText(rest.toString(), m_multilineCells);
}

QString GridModel::testedText(const TFilterData &condition, int row) const
{
    const QString text = Cells(condition.Column, row);
    return condition.Data == fcStripHTML ? withoutTags(text) : text;
}

bool GridModel::rowPasses(int row) const
{
    bool result = true;
    for (const TFilterData &condition : m_filter) {
        const bool matched = MatchFilterData(condition, testedText(condition, row));
        switch (condition.Operation) {
        case foSHORT:
            if (!matched)
                return false;
            result = true;
            break;
        case foNONE:
            result = matched;
            break;
        case foAND:
            result = result && matched;
            break;
        case foXOR:
            result = result != matched;
            break;
        case foOR:
            result = result || matched;
            break;
        }
    }
    return result;
}

void GridModel::SetFilterActive(bool active)
{
    if (active == m_filterActive) {
        changed(true);
        return;
    }
    rowsAboutToMove();
    if (active) {
        m_filterFixedRows = m_fixedRows;
        const GridUpdateBracket bracket(*this);
        hideFailingRows();
        m_filterActive = true;
    } else {
        const GridUpdateBracket bracket(*this);
        restoreHiddenRows();
        m_filterActive = false;
    }
    changed(true);
}

void GridModel::hideFailingRows()
{
    QList<GridRow> shown;
    shown.reserve(m_rows.size());
    for (int r = 0; r < m_rows.size(); ++r) {
        if (r < m_fixedRows || rowPasses(r))
            shown.append(std::move(m_rows[r]));
        else
            m_hidden.append({r, m_rows[r].height, std::move(m_rows[r].cells)});
    }
    m_rows = std::move(shown);
    if (m_fixedRows >= m_rows.size())
        m_fixedRows = std::max(static_cast<int>(m_rows.size()) - 1, 0);
    m_row = std::clamp(m_row, 0, std::max(RowCount() - 1, 0));
}

// Every stored row goes back to its former index and the shown rows fill the
// places between, in their order, so the rows return as they were.
void GridModel::restoreHiddenRows()
{
    const qsizetype total = m_rows.size() + m_hidden.size();
    QList<GridRow> rows;
    rows.reserve(total);
    qsizetype nextShown = 0, nextHidden = 0;
    for (qsizetype at = 0; at < total; ++at) {
        const bool hiddenHere = nextHidden < m_hidden.size()
            && (m_hidden[nextHidden].Idx == at || nextShown >= m_rows.size());
        if (hiddenHere) {
            TGridItem &item = m_hidden[nextHidden++];
            rows.append({std::move(item.Items), item.Height});
        } else {
            rows.append(std::move(m_rows[nextShown++]));
        }
    }
    m_rows = std::move(rows);
    m_hidden.clear();
    m_fixedRows = std::min(m_filterFixedRows, std::max(RowCount() - 1, 0));
}
