#include "RecordLayout.h"

#include "ShortString.h"

namespace vinarca {

RecordLayout::RecordLayout(std::initializer_list<std::pair<const char*, int>> fields)
{
    for (const auto& [name, capacity] : fields) {
        m_fields.push_back({QString::fromLatin1(name), capacity, m_size});
        m_size += capacity + 1;
    }
}

RecordLayout RecordLayout::fromFields(const std::vector<std::pair<QString, int>>& fields)
{
    RecordLayout layout;
    for (const auto& [name, capacity] : fields) {
        layout.m_fields.push_back({name, capacity, layout.m_size});
        layout.m_size += capacity + 1;
    }
    return layout;
}

int RecordLayout::indexOf(const QString& name) const
{
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

QStringList RecordLayout::decode(const QByteArray& record) const
{
    QStringList texts;
    texts.reserve(fieldCount());
    for (int i = 0; i < fieldCount(); ++i)
        texts << decodeField(record, i);
    return texts;
}

void RecordLayout::encode(QByteArray& record, const QStringList& texts) const
{
    for (int i = 0; i < fieldCount(); ++i)
        encodeField(record, i, i < texts.size() ? texts.at(i) : QString());
}

QString RecordLayout::decodeField(const QByteArray& record, int index) const
{
    const Field& f = field(index);
    return decodeShortString(record.constData() + f.offset, f.capacity);
}

QString RecordLayout::decodeFieldAsStored(const QByteArray& record, int index) const
{
    const Field& f = field(index);
    const char* bytes = record.constData() + f.offset;
    const int length = std::min(static_cast<int>(static_cast<unsigned char>(bytes[0])), f.capacity);
    return fromWindows1252(bytes + 1, length);
}

void RecordLayout::encodeField(QByteArray& record, int index, const QString& text) const
{
    if (record.size() < m_size)
        record.resize(m_size, '\0');
    const Field& f = field(index);
    encodeShortString(record.data() + f.offset, f.capacity, text);
}

} // namespace vinarca
