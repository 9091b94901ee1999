#include "gridfilter.h"

#include "text.h"

#include <QList>

namespace {

enum class TokenKind { Literal, AnyOne, AnyRun };

struct Token
{
    TokenKind kind;
    QChar c;
};

struct Piece
{
    QList<Token> tokens;
    bool negated = false;
};

// Blanks outside double quotes carry no meaning; a leading "=" neither.
QString normalizedPattern(QStringView pattern)
{
    QString out;
    bool quoted = false;
    for (const QChar c : pattern.trimmed()) {
        if (c == u'"')
            quoted = !quoted;
        if (c == u' ' && !quoted)
            continue;
        out += c;
    }
    if (out.startsWith(u'='))
        out.remove(0, 1);
    return out;
}

Piece parsePiece(QStringView text)
{
    Piece piece;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'!') {
            piece.negated = !piece.negated;
        } else if (c == u'"') {
            continue; // quotes only group
        } else if (c == u'?') {
            piece.tokens.append({TokenKind::AnyOne, c});
        } else if (c == u'*') {
            if (piece.tokens.isEmpty() || piece.tokens.last().kind != TokenKind::AnyRun)
                piece.tokens.append({TokenKind::AnyRun, c});
        } else if (c == u'\\' && i + 1 < text.size()) {
            piece.tokens.append({TokenKind::Literal, text[++i]});
        } else {
            piece.tokens.append({TokenKind::Literal, c});
        }
    }
    return piece;
}

bool tokenMatches(const Token &token, QChar c)
{
    return token.kind == TokenKind::AnyOne || token.c == c;
}

// The whole text against the tokens. On a mismatch the latest run takes one
// more character and matching resumes after it, which finds a match whenever
// one exists, in time proportional to tokens times text.
bool matchTokens(const QList<Token> &tokens, QStringView text)
{
    qsizetype t = 0, s = 0;
    qsizetype runToken = -1, runText = 0;
    while (s < text.size()) {
        if (t < tokens.size() && tokens[t].kind == TokenKind::AnyRun) {
            runToken = t++;
            runText = s;
        } else if (t < tokens.size() && tokenMatches(tokens[t], text[s])) {
            ++t;
            ++s;
        } else if (runToken >= 0) {
            t = runToken + 1;
            s = ++runText;
        } else {
            return false;
        }
    }
    while (t < tokens.size() && tokens[t].kind == TokenKind::AnyRun)
        ++t;
    return t == tokens.size();
}

bool matchPiece(QStringView pieceText, QStringView text, bool caseSensitive)
{
    const Piece piece = caseSensitive ? parsePiece(pieceText) : parsePiece(upperAscii(pieceText));
    const bool matched = caseSensitive ? matchTokens(piece.tokens, text)
                                       : matchTokens(piece.tokens, upperAscii(text));
    return matched != piece.negated;
}

bool isSeparator(QChar c)
{
    return c == u'&' || c == u';' || c == u'^' || c == u'|';
}

} // namespace

bool MatchCondition(QStringView pattern, QStringView text, bool caseSensitive)
{
    const QString normalized = normalizedPattern(pattern);
    bool result = false;
    QChar joiner; // null for the first piece
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i <= normalized.size(); ++i) {
        const bool end = i == normalized.size();
        if (!end && normalized[i] == u'"')
            quoted = !quoted;
        if (!end && (quoted || !isSeparator(normalized[i])))
            continue;

        const bool matched
            = matchPiece(QStringView(normalized).sliced(start, i - start), text, caseSensitive);
        if (joiner.isNull())
            result = matched;
        else if (joiner == u'&')
            result = result && matched;
        else
            result = result || matched;
        if (!end)
            joiner = normalized[i];
        start = i + 1;
    }
    return result;
}

bool MatchFilterData(const TFilterData &condition, QStringView cellText)
{
    QStringView text = cellText;
    if (!condition.Prefix.isEmpty() && text.startsWith(condition.Prefix))
        text = text.sliced(condition.Prefix.size());
    if (!condition.Suffix.isEmpty() && text.endsWith(condition.Suffix))
        text.chop(condition.Suffix.size());
    return MatchCondition(condition.Condition, text, condition.CaseSensitive);
}
