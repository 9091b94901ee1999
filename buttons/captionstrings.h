#pragma once

// A button caption seen as a list of lines: "||" in the caption separates
// them. Reading and editing lines goes through the caption of the control
// the list presents.

#include <QString>
#include <QStringList>

// A control whose caption a TCaptionStrings presents.
class CaptionHolder
{
public:
    virtual QString Caption() const = 0;
    // Stores the caption and tells the control that its text changed.
    virtual void SetCaption(const QString &caption) = 0;

protected:
    ~CaptionHolder() = default;
};

class TCaptionStrings
{
public:
    static inline const QString LineSeparator = QStringLiteral("||");

    explicit TCaptionStrings(CaptionHolder *holder)
        : m_holder(holder)
    { }
    void SetHolder(CaptionHolder *holder) { m_holder = holder; }

    int Count() const;
    QString Strings(int index) const;
    void SetStrings(int index, const QString &line);
    void Insert(int index, const QString &line);
    void Add(const QString &line) { Insert(Count(), line); }
    void Delete(int index);
    void Clear();

    // All lines at once, as a stored list of lines rebuilds the caption.
    QStringList lines() const;
    void SetLines(const QStringList &lines);

    // The caption as lines, and lines joined back into a caption.
    static QStringList captionLines(const QString &caption);
    static QString captionFromLines(const QStringList &lines);

private:
    CaptionHolder *m_holder;
};
