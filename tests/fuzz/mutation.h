#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QRandomGenerator>

// For the bounded random-input tests of the normal suite: a random first
// part of `seed`, with up to eleven edits, each a character of `alphabet`
// in place of another or any byte inserted.
inline QByteArray mutatedInput(const QByteArray &seed, QRandomGenerator &random,
                               QByteArrayView alphabet)
{
    QByteArray input = seed.left(random.bounded(seed.size() + 1));
    for (int e = 0, edits = random.bounded(12); e < edits && !input.isEmpty(); ++e) {
        const int at = random.bounded(input.size());
        if (random.bounded(2))
            input[at] = alphabet[random.bounded(static_cast<int>(alphabet.size()))];
        else
            input.insert(at, static_cast<char>(random.bounded(256)));
    }
    return input;
}
