#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QVector>

#include <deque>
#include <functional>

// A query with a current row: the program's data set. It holds the result of
// one SELECT, lets windows move through it, read fields by name (without regard
// to case), sort it on the client, follow a master data set, and edit rows,
// either straight into the table or cached until applied inside the caller's
// transaction. It is also the model the data grids show.
//
// Large results of "select * from <table> ..." are held as a list of keys;
// the rows are read a page at a time when they are looked at, so that a list of
// 100,000 customers opens as fast as the database can find them.
class DataSet : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };

    explicit DataSet(QObject *parent = nullptr);
    ~DataSet() override;

    void setConnectionName(const QString &name) { m_connection = name; }
    QSqlDatabase database() const;

    // The statement, with ":name" parameters.
    void setSql(const QString &sql);
    QString sql() const { return m_sql; }
    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const;
    void clearParams() { m_params.clear(); }
    QVariantMap params() const { return m_params; }

    bool open();
    void close();
    // Runs the same statement again, keeping the current row by key when it can.
    bool reopen();
    bool isOpen() const { return m_open; }
    QString lastError() const { return m_lastError; }

    int recordCount() const { return int(m_view.size()); }
    bool isEmpty() const { return m_view.isEmpty(); }

    // Current row (0-based, in shown order), -1 when there is none.
    int currentRow() const { return m_current; }
    bool setCurrentRow(int row);
    void first();
    void prior();
    void next();
    void last();
    bool bof() const { return m_current <= 0; }
    bool eof() const { return m_current < 0 || m_current >= recordCount() - 1; }
    // Moves to the first row whose field equals the value (text compared as
    // text, numbers as numbers). False, and no move, when none does.
    bool locate(const QString &field, const QVariant &value, Qt::CaseSensitivity cs = Qt::CaseSensitive);
    // Row of the given key (F_ID), -1 when absent.
    int rowOfKey(qint64 key) const;

    int fieldCount() const { return int(m_fields.size()); }
    QString fieldName(int column) const;
    int fieldIndex(const QString &name) const;
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }
    bool isBooleanField(int column) const;
    bool isNumericField(int column) const;

    QVariant value(const QString &field) const;
    QVariant value(int row, int column) const;
    QVariant value(int row, const QString &field) const;
    // A field of the current row as text (empty for NULL).
    QString text(const QString &field) const;
    // A value as shown: the field's display hook, or its plain text.
    QString displayText(int row, int column) const;
    // The current row as field name -> value.
    QVariantMap currentRecord() const;
    // The key (F_ID) of a row, 0 when the result has none.
    qint64 keyOf(int row) const;

    using DisplayHook = std::function<QString(const QVariant &)>;
    void setDisplayHook(const QString &field, DisplayHook hook);
    // Shows NULL, "1900-08-14" and any date before 14 August 1901 as blank.
    void setEmptyDateFields(const QStringList &fields);

    // "f_name ASC,f_code DESC," (a trailing comma is allowed; empty: no sort).
    void setSortText(const QString &sortText);
    QString sortText() const { return m_sortText; }

    double columnSum(const QString &field) const;

    // Master link: the parameter takes the master's current value of the field
    // (the parameter's name when none is given), and the data set re-queries
    // by itself whenever the master's current row changes while it is open.
    // `valueFilter`, when given, turns the master's value into the parameter
    // (for example a value that must match nothing).
    using MasterValueFilter = std::function<QVariant(const QVariant &)>;
    void setMaster(DataSet *master, const QString &param, const QString &masterField = {},
                   MasterValueFilter valueFilter = {});
    void detachMaster();
    void attachMaster();
    bool isLinked() const { return m_master && m_linked; }
    DataSet *master() const { return m_master; }

    // Editing. The update table defaults to the table of "select * from table".
    void setUpdateTable(const QString &table, const QString &keyField = QStringLiteral("F_ID"));
    QString updateTable() const { return m_updateTable; }
    QString keyField() const { return m_keyField; }
    // Cached: posted rows stay in memory until applyUpdates(); otherwise post()
    // writes the row at once.
    void setCachedUpdates(bool cached) { m_cached = cached; }
    bool cachedUpdates() const { return m_cached; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    State state() const { return m_editStorage < 0 ? State::Browse : m_editState; }
    bool isEditing() const { return m_editStorage >= 0; }
    // Appends an empty row at the end, makes it current and starts inserting it.
    bool append();
    // Sets a field of the current row (starting an edit of it).
    bool setValue(const QString &field, const QVariant &value);
    bool setValue(int row, int column, const QVariant &value);
    // Ends the edit of the current row: into the cache, or into the table.
    bool post();
    // Drops the edit of the current row; an inserted row that was never posted
    // goes away.
    void cancel();
    bool deleteRow(int row);
    bool deleteCurrent() { return deleteRow(m_current); }

    // Cached updates: writes deleted, changed and inserted rows on the data
    // set's connection, inside the caller's transaction. The cache stays as it
    // is until commitUpdates(), so that a rolled-back save can be repeated.
    bool applyUpdates(QString *error = nullptr);
    // After the caller's transaction committed: the cache becomes the table.
    void commitUpdates();
    // Throws away every cached change (and an unposted edit).
    void cancelUpdates();
    bool hasPendingUpdates() const;

    // Called after a field of a row changed through setValue.
    using FieldChangeHook = std::function<void(DataSet &dataSet, int row, const QString &field)>;
    void setFieldChangeHook(FieldChangeHook hook) { m_fieldChangeHook = std::move(hook); }

    // Model of all fields, for grids.
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Keyed rows held in memory at most (the rest are read again when needed).
    static constexpr int kMaxLoadedRows = 4000;
    static constexpr int kPageSize = 120;
    // Whether the last open read keys only (for tests and benchmarks).
    bool isKeyed() const { return m_keyed; }

signals:
    void currentRowChanged(int row);
    void opened();
    void closed();
    // After a row was posted, deleted, or the cache applied.
    void dataEdited();

private:
    enum RowStatus : quint8 { Unchanged, Modified, Inserted, Deleted };
    struct Row
    {
        qint64 key = 0;
        QVector<QVariant> values; // empty while not read (keyed rows)
        QVector<QVariant> original; // for modified cached rows
        RowStatus status = Unchanged;
    };
    struct Field
    {
        QString name;
        int typeId = 0;
        bool boolean = false;
        DisplayHook hook; // resolved once, not looked up by name per cell
    };

    bool openFull();
    bool openKeyed(const QString &table, const QString &rest);
    bool parseSimpleSelect(QString *table, QString *rest) const;
    bool reloadRow(int storage);
    QVariant masterValue() const;
    bool tableHasKey(const QString &table) const;
    void readFields(const QSqlRecord &record);
    void ensureLoaded(int storage) const;
    void loadPage(const QVector<int> &storages) const;
    void trimLoaded() const;
    const QVector<QVariant> &rowValues(int storage) const;
    QVariant normalized(const QVariant &v) const;
    void buildView();
    void applySort();
    QVariant storageValue(int storage, int column) const;
    int storageOf(int row) const { return row >= 0 && row < m_view.size() ? m_view.at(row) : -1; }
    void rebuildViewPos();
    void removeFromView(int storage);
    const QVector<QVariant> &columnCache(int column) const;
    void invalidateColumns() const { m_columnCache.clear(); }
    void setCurrentInternal(int row, bool force);
    void onMasterChanged();
    bool writeRow(int storage, QString *error);
    bool writeInsert(Row &row, const QVector<QVariant> &values, QString *error, qint64 *newKey) const;
    bool writeUpdate(const Row &row, const QVector<QVariant> &values, const QVector<QVariant> &original, QString *error) const;
    bool writeDelete(qint64 key, QString *error) const;
    QStringList tableColumns() const;
    int keyColumn() const;
    void finishEdit();

    QString m_connection;
    QString m_sql;
    QVariantMap m_params;
    bool m_open = false;
    QString m_lastError;

    QVector<Field> m_fields;
    QHash<QString, int> m_fieldIndex;
    mutable QVector<Row> m_rows;
    QVector<int> m_view;      // shown order -> storage
    QVector<int> m_viewPos;   // storage -> shown order, -1 when hidden
    int m_current = -1;

    // keyed reading
    bool m_keyed = false;
    QString m_keyTable;
    mutable QHash<qint64, int> m_keyToStorage;
    mutable std::deque<int> m_loadOrder;
    QString m_keyRest;
    mutable QHash<int, QVector<QVariant>> m_columnCache;
    mutable QHash<QString, QSqlRecord> m_tableRecords;

    QHash<QString, DisplayHook> m_hooks;
    QString m_sortText;
    QVector<QPair<int, bool>> m_sortKeys;

    QPointer<DataSet> m_master;
    QString m_masterParam;
    QString m_masterField;
    bool m_linked = false;
    MasterValueFilter m_masterFilter;
    QMetaObject::Connection m_masterConn;

    QString m_updateTable;
    bool m_updateTableAuto = true;
    QString m_keyField = QStringLiteral("F_ID");
    bool m_cached = false;
    bool m_readOnly = false;
    mutable QStringList m_tableColumns;

    int m_editStorage = -1;
    State m_editState = State::Browse;
    QVector<QVariant> m_editBuffer;
    bool m_inFieldHook = false;
    FieldChangeHook m_fieldChangeHook;

    // applied but not yet committed inserts: storage -> new key
    QHash<int, qint64> m_appliedKeys;
};
