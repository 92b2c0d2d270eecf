#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <vector>

namespace vinarca {

// The fields of one record kind, back to back with no padding: each field of
// capacity N takes N + 1 bytes.
class RecordLayout
{
public:
    struct Field
    {
        QString name;
        int capacity = 0;
        int offset = 0;
    };

    RecordLayout(std::initializer_list<std::pair<const char*, int>> fields);
    // The same, from fields named at run time (a block stamped out several times).
    static RecordLayout fromFields(const std::vector<std::pair<QString, int>>& fields);

    int recordSize() const { return m_size; }
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    const Field& field(int index) const { return m_fields.at(static_cast<std::size_t>(index)); }
    int indexOf(const QString& name) const;

    QByteArray emptyRecord() const { return QByteArray(m_size, '\0'); }
    // All fields, converted and trimmed, in record order.
    QStringList decode(const QByteArray& record) const;
    // Writes the texts (trimmed, converted, cut to capacity) into the record.
    void encode(QByteArray& record, const QStringList& texts) const;

    QString decodeField(const QByteArray& record, int index) const;
    // The field as stored: converted, not trimmed.
    QString decodeFieldAsStored(const QByteArray& record, int index) const;
    void encodeField(QByteArray& record, int index, const QString& text) const;

private:
    RecordLayout() = default;
    std::vector<Field> m_fields;
    int m_size = 0;
};

} // namespace vinarca
