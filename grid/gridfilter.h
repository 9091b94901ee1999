#pragma once

// Row filter conditions of the settings grid and the pattern language they
// are written in.

#include <QString>

#include <deque>

enum TFilterCells {
    fcVirtual, // the cell text as the grid reports it
    fcNormal, // the stored text
    fcStripHTML, // the text without markup tags
    fcCalculated // a computed value; this grid computes none, so the cell text
};

enum TFilterOperation {
    foSHORT, // result := match; a failed match ends the test
    foNONE, // result := match
    foAND,
    foXOR,
    foOR
};

struct TFilterData
{
    qint16 Column = 0;
    QString Condition;
    bool CaseSensitive = true;
    TFilterCells Data = fcVirtual;
    QString Prefix;
    QString Suffix;
    TFilterOperation Operation = foSHORT;
};

// The ordered conditions of one grid. Add returns a reference that stays
// valid until Clear.
class TFilter
{
public:
    TFilterData &Add() { return m_items.emplace_back(); }
    void Clear() { m_items.clear(); }
    int Count() const { return static_cast<int>(m_items.size()); }
    TFilterData &Items(int index) { return m_items.at(static_cast<std::size_t>(index)); }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::deque<TFilterData> m_items;
};

// Matches `text` against a condition pattern:
//   * any run of characters   ? any one character   \x the character x itself
//   "..." keeps blanks and separators   ! negates the piece
//   a&b both   a;b a|b a^b either
// A piece matches the whole text; without CaseSensitive both sides are
// upper-cased first. The comparison forms (<, >) are not supported: those
// characters match themselves.
bool MatchCondition(QStringView pattern, QStringView text, bool caseSensitive);

// Applies `prefix`/`suffix` removal and matches; the tested text of one
// condition for one cell is chosen by the grid.
bool MatchFilterData(const TFilterData &condition, QStringView cellText);
