#pragma once

#include "personnel/fieldrecord.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace orvane::db {
class CADORecordset;
}
namespace orvane::core {
class COrvaneApp;
class GridRows;
class Prompter;
} // namespace orvane::core

namespace orvane::personnel {

// The record form generated from the field catalogue: one editor per field of qp_Items for the
// table (in catalogue order), filled with the record's values or the catalogue defaults, checked
// for numeric and required fields, and written through an updatable recordset. The window shows
// the editors' state (editors()) and reports every change back; the specialisations add the
// rules of departments, categories, persons and related records.
class CDlgDynCtlFormBase
{
public:
    CDlgDynCtlFormBase(core::COrvaneApp& app, core::Prompter& prompter);
    virtual ~CDlgDynCtlFormBase() = default;
    CDlgDynCtlFormBase(const CDlgDynCtlFormBase&) = delete;
    CDlgDynCtlFormBase& operator=(const CDlgDynCtlFormBase&) = delete;

    core::COrvaneApp& app() const { return m_app; }

    // --- set by the caller before build() ---
    void setTitle(const QString& title) { m_title = title; }
    QString title() const { return m_title; }
    void setTable(const QString& table, const QString& keyColumn);
    QString table() const { return m_table; }
    QString keyColumn() const { return m_keyColumn; }
    // Add mode (record ID 0) or edit mode for `recordId`.
    void setAddMode() { m_addMode = true, m_recordId = 0; }
    void setEditMode(int recordId) { m_addMode = false, m_recordId = recordId; }
    bool isAddMode() const { return m_addMode; }
    int recordId() const { return m_recordId; }
    // The owner's grid enables record stepping: `keyColumn` is the grid column with the key.
    void setOwnerGrid(core::GridRows* grid, int keyColumn);

    // --- the form's operations ---
    // Reads the fields and creates the editors with defaults (add) or the record (edit).
    virtual bool build();
    // Puts the record's values into the editors (edit mode).
    virtual bool load();
    // A field's value for saving; false when the editor's text is not acceptable (the message is
    // shown and the field takes the focus).
    virtual bool getValue(int field, QVariant& value);
    // The first required field without a value shows "'%s'为必填项!"; false then.
    virtual bool checkRequired();
    // Checks and writes the record; false keeps the form open with the values entered.
    virtual bool save();
    // Leaving the form: true when the window may close.
    virtual bool leave();
    // Record stepping through the owner's grid (edit mode).
    bool stepFirst() { return stepTo(Step::First); }
    bool stepPrevious() { return stepTo(Step::Previous); }
    bool stepNext() { return stepTo(Step::Next); }
    bool stepLast() { return stepTo(Step::Last); }
    bool canStep() const { return !m_addMode && m_ownerGrid; }

    // --- the editors, as the window shows them ---
    const QList<FieldRecord>& fields() const { return m_fields; }
    const QList<FieldEditor>& editors() const { return m_editors; }
    int fieldIndex(const QString& name) const;
    // Changes made by the operator; each sets the modified flag.
    void setText(int field, const QString& text);
    void setDate(int field, const QDate& date);
    void setChoice(int field, int id, const QString& text);
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // The field that should have the focus after the last operation (-1: leave it).
    int focusField() const { return m_focusField; }
    // The window closes after this operation (a record deleted meanwhile, or a left form).
    bool closeRequested() const { return m_closeRequested; }

protected:
    enum class Step { First, Previous, Next, Last };

    // The editor state for one field (picker kind and its entries).
    virtual FieldEditor createEditor(const FieldRecord& field);
    // Defaults of add mode; the personnel form leaves a date empty when the default does not
    // parse.
    virtual void applyDefaults();
    virtual QDate defaultDate(const FieldRecord& field) const;
    // Writes the fields into the current row of an open updatable recordset.
    bool writeFields(db::CADORecordset& rs);
    // The checks before a record is written: the required fields, then every value.
    bool checkValues();
    // The generic save: checkValues(), the row written through the recordset, the new key.
    bool saveRecord();
    bool stepTo(Step step);
    void showMessage(const QString& text, int focusField = -1);
    void clearForNext();
    QString fieldList() const;
    // The field that takes the focus when the form opens or is cleared.
    int firstEnabledField() const;

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    QString m_title = QStringLiteral("新建");
    QString m_table;
    QString m_keyColumn;
    bool m_addMode = true;
    int m_recordId = 0;
    core::GridRows* m_ownerGrid = nullptr;
    int m_ownerKeyColumn = 0;
    QList<FieldRecord> m_fields;
    QList<FieldEditor> m_editors;
    bool m_modified = false;
    int m_focusField = -1;
    bool m_closeRequested = false;
};

} // namespace orvane::personnel
