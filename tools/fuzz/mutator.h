#pragma once
// Byte-level mutations of a seed input, tuned for text and binary file formats: bit flips,
// interesting bytes, numbers made huge, negative or NaN, chunks cut, repeated or spliced in.

#include <QByteArray>
#include <QList>

#include <random>

class Mutator
{
public:
    explicit Mutator(quint64 seed) : m_random(seed) {}

    // A new input: the seed changed one to eight times, sometimes spliced with another seed.
    QByteArray mutate(const QByteArray &seed, const QList<QByteArray> &others);

private:
    int below(int n) { return n <= 0 ? 0 : int(m_random() % unsigned(n)); }
    void mutateOnce(QByteArray &data, const QList<QByteArray> &others);
    void replaceNumber(QByteArray &data);

    std::mt19937_64 m_random;
};
