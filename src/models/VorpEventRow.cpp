#include "VorpEventRow.h"

#include "Sqlite.h"

#include <QUuid>
#include <cmath>
#include <deque>
#include <sqlite3.h>
#include <string>
#include <string_view>

namespace VorpEventRow {

namespace {

// Timestamps are stored as seconds since the Unix epoch, with millisecond precision.
double toStored(const QDateTime &timestamp)
{
    return double(timestamp.toMSecsSinceEpoch()) / 1000.0;
}

// About 285 million years either way: the milliseconds fit a qint64 with room to spare for any
// time zone's offset, so no date arithmetic on a loaded moment overflows.
constexpr qint64 kMaxStoredSeconds = 9'000'000'000'000'000;

// A stored number of seconds as a moment; none for a value that names none (text, a blob, NULL,
// an infinity or a number of seconds no date can hold).
std::optional<QDateTime> fromStored(const SqliteStatement &row, int column)
{
    qint64 msecs = 0;
    switch (row.columnType(column)) {
    case SQLITE_INTEGER: {
        const qint64 seconds = row.columnInt(column);
        if (seconds > kMaxStoredSeconds || seconds < -kMaxStoredSeconds)
            return std::nullopt;
        msecs = seconds * 1000;
        break;
    }
    case SQLITE_FLOAT: {
        const double seconds = row.columnDouble(column);
        if (!std::isfinite(seconds) || std::fabs(seconds) > double(kMaxStoredSeconds))
            return std::nullopt;
        msecs = std::llround(seconds * 1000.0);
        break;
    }
    default:
        return std::nullopt;
    }
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

// Whether `decoded` (from fromUtf8) says exactly what the bytes are: invalid UTF-8 decodes to
// U+FFFD, so only a text holding one needs the slower check.
bool decodesExactly(QByteArrayView bytes, const QString &decoded)
{
    return !decoded.contains(QChar::ReplacementCharacter) || decoded.toUtf8() == bytes;
}

bool isNilUuidText(QByteArrayView bytes)
{
    static const QByteArray nil = QUuid().toByteArray(QUuid::WithoutBraces);
    if (bytes.size() == nil.size() + 2 && bytes.front() == '{' && bytes.back() == '}')
        bytes = bytes.sliced(1, nil.size());
    return bytes == nil;
}

const char *const kColumnNames[eventFieldCount] = {
    "uuid", "timestamp", "appName", "bundleIdentifier", "triggerKey", "note", "sourceRaw",
};

void bindField(SqliteStatement &statement, int index, const VorpEvent &event, EventField field)
{
    switch (field) {
    case EventField::uuid:
        statement.bind(index, event.uuid.toString(QUuid::WithoutBraces));
        break;
    case EventField::timestamp:
        statement.bind(index, toStored(event.timestamp));
        break;
    case EventField::appName:
        statement.bind(index, event.appName);
        break;
    case EventField::bundleIdentifier:
        statement.bind(index, event.bundleIdentifier);
        break;
    case EventField::triggerKey:
        statement.bind(index, event.triggerKey);
        break;
    case EventField::note:
        statement.bind(index, event.note);
        break;
    case EventField::sourceRaw:
        statement.bind(index, event.sourceRaw);
        break;
    }
}

} // namespace

// Application names, bundle identifiers, trigger keys and sources repeat across thousands of
// incidents; decoding each once and sharing the QString keeps loading fast and memory small.
class TextInterner
{
public:
    struct Text
    {
        QString text;
        bool exact = true; // the bytes were valid UTF-8
    };
    Text text(QByteArrayView bytes)
    {
        const std::string_view key(bytes.data(), size_t(bytes.size()));
        if (const auto found = m_texts.find(key); found != m_texts.end())
            return found->second;
        const std::string &stored = m_keys.emplace_back(key);
        const QString decoded = QString::fromUtf8(bytes);
        const Text text{decoded, decodesExactly(bytes, decoded)};
        m_texts.emplace(std::string_view(stored), text);
        return text;
    }

private:
    std::deque<std::string> m_keys;
    std::unordered_map<std::string_view, Text> m_texts;
};

namespace {

// Reads one incident row, noting every column that holds no readable value of its kind.
class RowReader
{
public:
    explicit RowReader(const SqliteStatement &row) : m_row(row) {}

    QString text(TextInterner &interner, int column, EventField field)
    {
        const TextInterner::Text text = interner.text(m_row.columnBytes(column));
        if (!text.exact)
            keep(field, column);
        return text.text;
    }
    std::optional<QString> optionalText(TextInterner &interner, int column, EventField field)
    {
        if (m_row.columnIsNull(column))
            return std::nullopt;
        return text(interner, column, field);
    }
    std::optional<QString> uniqueText(int column, EventField field)
    {
        if (m_row.columnIsNull(column))
            return std::nullopt;
        const QByteArrayView bytes = m_row.columnBytes(column);
        QString decoded = QString::fromUtf8(bytes);
        if (!decodesExactly(bytes, decoded))
            keep(field, column);
        return decoded;
    }
    QUuid uuid(int column)
    {
        const QByteArrayView bytes = m_row.columnBytes(column);
        const QUuid uuid = m_row.columnType(column) == SQLITE_TEXT
                               ? QUuid::fromString(QAnyStringView(QUtf8StringView(bytes)))
                               : QUuid();
        if (uuid.isNull() && !(m_row.columnType(column) == SQLITE_TEXT && isNilUuidText(bytes)))
            keep(EventField::uuid, column);
        return uuid;
    }
    // An unreadable time shows as the epoch, the moment SQLite itself reads a text as.
    QDateTime timestamp(int column)
    {
        if (std::optional<QDateTime> moment = fromStored(m_row, column))
            return *moment;
        keep(EventField::timestamp, column);
        return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    }
    std::shared_ptr<const StoredBytes> unreadable() { return std::move(m_unreadable); }

private:
    void keep(EventField field, int column)
    {
        if (!m_unreadable)
            m_unreadable = std::make_shared<StoredBytes>();
        (*m_unreadable)[field] = m_row.columnBytes(column).toByteArray();
    }

    const SqliteStatement &m_row;
    std::shared_ptr<StoredBytes> m_unreadable;
};

} // namespace

Fields changedFields(const VorpEvent &a, const VorpEvent &b)
{
    Fields mask = 0;
    const auto mark = [&](EventField field, bool differs) {
        if (differs)
            mask |= fieldBit(field);
    };
    mark(EventField::uuid, a.uuid != b.uuid);
    mark(EventField::timestamp, a.timestamp != b.timestamp);
    mark(EventField::appName, a.appName != b.appName);
    mark(EventField::bundleIdentifier, a.bundleIdentifier != b.bundleIdentifier);
    mark(EventField::triggerKey, a.triggerKey != b.triggerKey);
    mark(EventField::note, a.note != b.note);
    mark(EventField::sourceRaw, a.sourceRaw != b.sourceRaw);
    return mask;
}

std::shared_ptr<const StoredBytes> keptUnreadable(const std::shared_ptr<const StoredBytes> &unreadable,
                                                  Fields changed)
{
    if (!unreadable)
        return nullptr;
    auto kept = std::make_shared<StoredBytes>(*unreadable);
    for (int field = 0; field < eventFieldCount; ++field) {
        if (changed & (1u << field))
            kept->columns[field].reset();
    }
    if (kept->isEmpty())
        return nullptr;
    return kept;
}

const char Reader::selectAll[] = "SELECT rowid, uuid, timestamp, appName, bundleIdentifier, triggerKey, "
                                 "note, sourceRaw FROM VorpEvent ORDER BY rowid";

Reader::Reader() : m_interner(std::make_unique<TextInterner>())
{
}

Reader::~Reader() = default;

VorpEvent Reader::read(const SqliteStatement &statement)
{
    VorpEvent event;
    RowReader row(statement);
    event.id = statement.columnInt(0);
    event.uuid = row.uuid(1);
    event.timestamp = row.timestamp(2);
    event.appName = row.optionalText(*m_interner, 3, EventField::appName);
    event.bundleIdentifier = row.optionalText(*m_interner, 4, EventField::bundleIdentifier);
    event.triggerKey = row.optionalText(*m_interner, 5, EventField::triggerKey);
    event.note = row.uniqueText(6, EventField::note);
    event.sourceRaw = row.text(*m_interner, 7, EventField::sourceRaw);
    event.unreadable = row.unreadable();
    return event;
}

Writer::Writer(SqliteDatabase &db)
    : m_db(db),
      m_put(std::make_unique<SqliteStatement>(db, "INSERT INTO VorpEvent (rowid, uuid, timestamp, appName, "
                                                  "bundleIdentifier, triggerKey, note, sourceRaw) "
                                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?)")),
      m_remove(std::make_unique<SqliteStatement>(db, "DELETE FROM VorpEvent WHERE rowid = ?"))
{
}

Writer::~Writer() = default;

bool Writer::isValid() const
{
    return m_put->isValid() && m_remove->isValid();
}

bool Writer::put(const VorpEvent &event)
{
    m_put->bind(1, event.id);
    for (int field = 0; field < eventFieldCount; ++field)
        bindField(*m_put, field + 2, event, EventField(field));
    return m_put->run();
}

bool Writer::edit(const VorpEvent &event, Fields fields)
{
    std::unique_ptr<SqliteStatement> &edit = m_edits[fields];
    if (!edit) {
        QByteArray sql = "UPDATE VorpEvent SET ";
        for (int field = 0; field < eventFieldCount; ++field) {
            if (fields & (1u << field))
                sql += QByteArray(kColumnNames[field]) + " = ?, ";
        }
        sql.chop(2);
        sql += " WHERE rowid = ?";
        edit = std::make_unique<SqliteStatement>(m_db, sql.constData());
    }
    int index = 1;
    for (int field = 0; field < eventFieldCount; ++field) {
        if (fields & (1u << field))
            bindField(*edit, index++, event, EventField(field));
    }
    edit->bind(index, event.id);
    return edit->isValid() && edit->run();
}

bool Writer::remove(qint64 id)
{
    m_remove->bind(1, id);
    return m_remove->run();
}

} // namespace VorpEventRow
