#include "EventSnapshot.h"

#include <QtGlobal>

EventSnapshot::EventSnapshot(QList<VorpEvent> events)
{
    if (events.isEmpty())
        return;
    auto list = std::make_shared<const QList<VorpEvent>>(std::move(events));
    const VorpEvent *data = list->constData();
    const qsizetype count = list->size();
    *this = EventSnapshot(std::vector<Part>{Part{std::move(list), data, count, 0}});
}

EventSnapshot::EventSnapshot(std::vector<Part> parts, bool timeOrdered) : m_timeOrdered(timeOrdered)
{
    std::erase_if(parts, [](const Part &part) { return part.count <= 0; });
    for (Part &part : parts) {
        part.start = m_size;
        m_size += part.count;
    }
    m_parts = std::make_shared<const std::vector<Part>>(std::move(parts));
}

const VorpEvent &EventSnapshot::operator[](qsizetype index) const
{
    Q_ASSERT(index >= 0 && index < m_size);
    const std::vector<Part> &parts = *m_parts;
    const auto part = std::upper_bound(parts.begin(), parts.end(), index,
                                       [](qsizetype i, const Part &p) { return i < p.start; }) -
                      1;
    return part->data[index - part->start];
}

QList<VorpEvent> EventSnapshot::toList() const
{
    QList<VorpEvent> list;
    list.reserve(m_size);
    if (m_parts) {
        for (const Part &part : *m_parts)
            list.append(QList<VorpEvent>(part.data, part.data + part.count));
    }
    return list;
}

EventSnapshot EventSnapshot::slice(qsizetype from, qsizetype to) const
{
    from = std::clamp<qsizetype>(from, 0, m_size);
    to = std::clamp<qsizetype>(to, from, m_size);
    if (from == 0 && to == m_size)
        return *this;
    std::vector<Part> parts;
    if (m_parts) {
        for (const Part &part : *m_parts) {
            const qsizetype lo = std::max(from, part.start);
            const qsizetype hi = std::min(to, part.start + part.count);
            if (lo < hi)
                parts.push_back(Part{part.owner, part.data + (lo - part.start), hi - lo, 0});
        }
    }
    return EventSnapshot(std::move(parts), m_timeOrdered);
}

qsizetype EventSnapshot::lowerBound(qint64 utcMSecs) const
{
    Q_ASSERT(m_timeOrdered);
    const auto at = std::lower_bound(begin(), end(), utcMSecs, [](const VorpEvent &event, qint64 t) {
        return event.timestamp.toMSecsSinceEpoch() < t;
    });
    return at.index();
}

EventSnapshot::const_iterator::const_iterator(const std::vector<Part> *parts, qsizetype size, qsizetype index)
    : m_parts(parts), m_size(size)
{
    seek(index);
}

void EventSnapshot::const_iterator::seek(qsizetype index)
{
    m_index = index;
    if (!m_parts || index >= m_size) {
        // The end: past the last part, so stepping back lands on the last record.
        m_part = m_parts ? m_parts->size() : 0;
        m_offset = 0;
        return;
    }
    const auto part = std::upper_bound(m_parts->begin(), m_parts->end(), index,
                                       [](qsizetype i, const Part &p) { return i < p.start; }) -
                      1;
    m_part = size_t(part - m_parts->begin());
    m_offset = index - part->start;
}

// EventChunks

const VorpEvent &EventChunks::operator[](qsizetype index) const
{
    const auto [chunk, offset] = locate(index);
    return (*m_chunks[chunk])[size_t(offset)];
}

std::shared_ptr<EventSnapshot::Chunk> EventChunks::newChunk()
{
    auto chunk = std::make_shared<EventSnapshot::Chunk>();
    chunk->reserve(chunkCapacity);
    return chunk;
}

void EventChunks::changed()
{
    m_snapshot.reset();
}

void EventChunks::restart()
{
    m_starts.clear();
    qsizetype start = 0;
    for (const auto &chunk : m_chunks) {
        m_starts.push_back(start);
        start += chunk->size();
    }
}

void EventChunks::assign(const QList<VorpEvent> &events)
{
    changed();
    m_chunks.clear();
    for (qsizetype at = 0; at < events.size(); at += chunkCapacity) {
        auto chunk = newChunk();
        const auto from = events.cbegin() + at;
        chunk->insert(chunk->end(), from, from + std::min(chunkCapacity, events.size() - at));
        m_chunks.push_back(std::move(chunk));
    }
    m_size = events.size();
    restart();
}

void EventChunks::clear()
{
    assign({});
}

std::pair<size_t, qsizetype> EventChunks::locate(qsizetype index) const
{
    Q_ASSERT(!m_chunks.empty());
    const auto start = std::upper_bound(m_starts.begin(), m_starts.end(), index) - 1;
    const size_t chunk = size_t(start - m_starts.begin());
    return {chunk, index - *start};
}

EventSnapshot::Chunk &EventChunks::writable(size_t chunk)
{
    std::shared_ptr<EventSnapshot::Chunk> &held = m_chunks[chunk];
    if (held.use_count() > 1) {
        // A snapshot still reads this chunk as it was: write to a copy of this chunk only.
        auto copy = newChunk();
        copy->insert(copy->end(), held->cbegin(), held->cend());
        held = std::move(copy);
    }
    return *held;
}

void EventChunks::insert(qsizetype index, const VorpEvent &event)
{
    Q_ASSERT(index >= 0 && index <= m_size);
    changed();
    if (index == m_size) {
        // The common case, a new incident: in place, even while snapshots share the last chunk.
        if (m_chunks.empty() || m_chunks.back()->size() >= size_t(chunkCapacity)) {
            m_starts.push_back(m_size);
            m_chunks.push_back(newChunk());
        }
        m_chunks.back()->push_back(event);
        ++m_size;
        return;
    }
    auto [chunk, offset] = locate(index);
    if (m_chunks[chunk]->size() >= size_t(chunkCapacity)) {
        // Split a full chunk in halves, so the insert never grows a chunk past its reserve.
        const qsizetype half = chunkCapacity / 2;
        auto upper = newChunk();
        upper->insert(upper->end(), m_chunks[chunk]->cbegin() + half, m_chunks[chunk]->cend());
        EventSnapshot::Chunk &lower = writable(chunk);
        lower.erase(lower.begin() + half, lower.end());
        m_chunks.insert(m_chunks.begin() + qsizetype(chunk) + 1, std::move(upper));
        restart();
        if (offset > half) {
            ++chunk;
            offset -= half;
        }
    }
    EventSnapshot::Chunk &records = writable(chunk);
    records.insert(records.begin() + offset, event);
    ++m_size;
    for (size_t c = chunk + 1; c < m_starts.size(); ++c)
        ++m_starts[c];
}

void EventChunks::replace(qsizetype index, const VorpEvent &event)
{
    changed();
    const auto [chunk, offset] = locate(index);
    writable(chunk)[size_t(offset)] = event;
}

void EventChunks::removeAt(qsizetype index)
{
    changed();
    const auto [chunk, offset] = locate(index);
    EventSnapshot::Chunk &records = writable(chunk);
    records.erase(records.begin() + offset);
    --m_size;
    if (records.empty()) {
        m_chunks.erase(m_chunks.begin() + qsizetype(chunk));
        restart();
        return;
    }
    for (size_t c = chunk + 1; c < m_starts.size(); ++c)
        --m_starts[c];
}

const EventSnapshot &EventChunks::snapshot() const
{
    if (!m_snapshot) {
        std::vector<EventSnapshot::Part> parts;
        parts.reserve(m_chunks.size());
        for (const auto &chunk : m_chunks)
            parts.push_back({chunk, chunk->data(), qsizetype(chunk->size()), 0});
        m_snapshot.emplace(std::move(parts), true);
    }
    return *m_snapshot;
}
