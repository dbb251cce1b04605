#pragma once

#include "VorpEvent.h"

#include <QList>
#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

// An immutable list of incidents as they were when it was taken, sharing its records with the
// store that made it. Hold one as long as you like: copying it is one reference count, and holding
// it never makes a later insert copy the store's incidents.
//
// The store keeps its incidents in chunks of a few thousand. A snapshot holds a reference on each
// chunk and the number of records it sees in it. The store appends to its last chunk in place even
// while snapshots share it (they never look past their count, and a chunk never reallocates), and
// copies a single chunk, never the list, before an edit, a removal or an insert lands inside a chunk
// that a snapshot shares. Main thread only, like the store.
class EventSnapshot
{
public:
    // A chunk never grows past the capacity it was made with, so appending never moves it.
    using Chunk = std::vector<VorpEvent>;
    struct Part
    {
        std::shared_ptr<const void> owner; // keeps `data` alive
        const VorpEvent *data = nullptr;
        qsizetype count = 0;
        qsizetype start = 0; // the index of data[0] in the whole snapshot
    };

    EventSnapshot() = default;
    // A snapshot of a plain list, sharing it. Implicit, so a list can stand wherever a snapshot is
    // asked for.
    EventSnapshot(QList<VorpEvent> events);
    // The parts in order; empty ones are dropped. `timeOrdered` promises timestamps ascending.
    explicit EventSnapshot(std::vector<Part> parts, bool timeOrdered = false);

    qsizetype size() const { return m_size; }
    qsizetype count() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const VorpEvent &operator[](qsizetype index) const;
    const VorpEvent &at(qsizetype index) const { return (*this)[index]; }
    const VorpEvent &first() const { return (*this)[0]; }
    const VorpEvent &last() const { return (*this)[m_size - 1]; }
    // A copy of every record, for callers that need a QList of their own.
    QList<VorpEvent> toList() const;

    // Whether timestamps ascend (the store's snapshots do), so ranges of time can be found by
    // binary search instead of a pass.
    bool isTimeOrdered() const { return m_timeOrdered; }
    // In a time-ordered snapshot: the index of the first record stamped at or after `utcMSecs`.
    qsizetype lowerBound(qint64 utcMSecs) const;

    class const_iterator
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = VorpEvent;
        using difference_type = qsizetype;
        using pointer = const VorpEvent *;
        using reference = const VorpEvent &;

        const_iterator() = default;
        reference operator*() const { return (*m_parts)[m_part].data[m_offset]; }
        pointer operator->() const { return &**this; }
        reference operator[](difference_type n) const { return *(*this + n); }

        const_iterator &operator++()
        {
            ++m_index;
            if (++m_offset == (*m_parts)[m_part].count) {
                ++m_part;
                m_offset = 0;
            }
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        const_iterator &operator--()
        {
            --m_index;
            if (m_offset == 0) {
                --m_part;
                m_offset = (*m_parts)[m_part].count - 1;
            } else {
                --m_offset;
            }
            return *this;
        }
        const_iterator operator--(int)
        {
            const_iterator before = *this;
            --*this;
            return before;
        }
        const_iterator &operator+=(difference_type n)
        {
            seek(m_index + n);
            return *this;
        }
        const_iterator &operator-=(difference_type n) { return *this += -n; }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator &a, const const_iterator &b)
        {
            return a.m_index - b.m_index;
        }
        friend bool operator==(const const_iterator &a, const const_iterator &b)
        {
            return a.m_index == b.m_index;
        }
        friend auto operator<=>(const const_iterator &a, const const_iterator &b)
        {
            return a.m_index <=> b.m_index;
        }

        // The position in the whole snapshot.
        qsizetype index() const { return m_index; }

    private:
        friend class EventSnapshot;
        const_iterator(const std::vector<Part> *parts, qsizetype size, qsizetype index);
        void seek(qsizetype index);

        const std::vector<Part> *m_parts = nullptr;
        qsizetype m_size = 0;
        qsizetype m_index = 0;
        size_t m_part = 0;
        qsizetype m_offset = 0;
    };
    using iterator = const_iterator;
    using const_reverse_iterator = std::reverse_iterator<const_iterator>;
    using value_type = VorpEvent;
    using size_type = qsizetype;

    const_iterator begin() const { return const_iterator(m_parts.get(), m_size, 0); }
    const_iterator end() const { return const_iterator(m_parts.get(), m_size, m_size); }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }
    const_iterator constBegin() const { return begin(); }
    const_iterator constEnd() const { return end(); }
    const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }
    const_reverse_iterator crbegin() const { return rbegin(); }
    const_reverse_iterator crend() const { return rend(); }

    // The records from `from` to `to` (excluded), sharing the same chunks.
    EventSnapshot slice(qsizetype from, qsizetype to) const;

private:
    std::shared_ptr<const std::vector<Part>> m_parts;
    qsizetype m_size = 0;
    bool m_timeOrdered = false;
};

// The store's side of the chunks: an ordered list of incidents that inserts, edits and removes in
// place and hands out snapshots. Copy-on-write works per chunk, as described above.
class EventChunks
{
public:
    // Records per chunk: large enough that a snapshot is a few dozen references, small enough that
    // copying one chunk before an edit costs microseconds.
    static constexpr qsizetype chunkCapacity = 2048;

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const VorpEvent &operator[](qsizetype index) const;

    // Every record of `events`, in its order, replacing what was held.
    void assign(const QList<VorpEvent> &events);
    void clear();
    void insert(qsizetype index, const VorpEvent &event);
    void replace(qsizetype index, const VorpEvent &event);
    void removeAt(qsizetype index);
    // Removes every record the predicate accepts, in order; returns how many.
    template<typename Predicate> qsizetype removeIf(Predicate accept);
    // Applies `edit` to every record the predicate accepts, copying only the chunks that hold one;
    // returns how many. The edit must not change a record's timestamp.
    template<typename Predicate, typename Edit> qsizetype editIf(Predicate accept, Edit edit);

    // A snapshot of what is held now (time-ordered: the store keeps its incidents so); the same one
    // until the next change.
    const EventSnapshot &snapshot() const;

private:
    // The chunk holding `index` (an end index belongs to the last chunk) and the offset in it.
    std::pair<size_t, qsizetype> locate(qsizetype index) const;
    // The chunk, copied first when a snapshot shares it.
    EventSnapshot::Chunk &writable(size_t chunk);
    static std::shared_ptr<EventSnapshot::Chunk> newChunk();
    // Drops the snapshot of the former state, so a chunk's use count tells whether a snapshot
    // outside still holds it.
    void changed();
    // Recomputes m_starts.
    void restart();
    // The index in chunk `chunk` of the first record the predicate accepts, -1 for none. Only reads:
    // a chunk without one is neither copied nor marked changed.
    template<typename Predicate> qsizetype firstAccepted(size_t chunk, Predicate &accept) const;

    std::vector<std::shared_ptr<EventSnapshot::Chunk>> m_chunks;
    std::vector<qsizetype> m_starts; // the index of each chunk's first record
    qsizetype m_size = 0;
    mutable std::optional<EventSnapshot> m_snapshot;
};

template<typename Predicate> qsizetype EventChunks::firstAccepted(size_t chunk, Predicate &accept) const
{
    const EventSnapshot::Chunk &records = *m_chunks[chunk];
    const auto hit =
        std::find_if(records.cbegin(), records.cend(), [&](const VorpEvent &e) { return accept(e); });
    return hit == records.cend() ? -1 : qsizetype(hit - records.cbegin());
}

template<typename Predicate> qsizetype EventChunks::removeIf(Predicate accept)
{
    // The predicate is asked once per record: callers may act on the records it accepts.
    qsizetype removed = 0;
    for (size_t c = 0; c < m_chunks.size(); ++c) {
        const qsizetype first = firstAccepted(c, accept);
        if (first < 0)
            continue;
        changed();
        EventSnapshot::Chunk &records = writable(c);
        auto out = records.begin() + first;
        for (auto in = out + 1; in != records.end(); ++in) {
            if (!accept(*in))
                *out++ = std::move(*in);
        }
        removed += qsizetype(records.end() - out);
        records.erase(out, records.end());
    }
    if (removed > 0) {
        m_size -= removed;
        std::erase_if(m_chunks, [](const auto &chunk) { return chunk->empty(); });
        restart();
    }
    return removed;
}

template<typename Predicate, typename Edit> qsizetype EventChunks::editIf(Predicate accept, Edit edit)
{
    // The predicate is asked once per record, as in removeIf().
    qsizetype edited = 0;
    for (size_t c = 0; c < m_chunks.size(); ++c) {
        const qsizetype first = firstAccepted(c, accept);
        if (first < 0)
            continue;
        changed();
        EventSnapshot::Chunk &records = writable(c);
        for (auto it = records.begin() + first; it != records.end(); ++it) {
            if (it == records.begin() + first || accept(*it)) {
                edit(*it);
                ++edited;
            }
        }
    }
    return edited;
}
