#pragma once

#include "model/FieldSchema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QValidator>

#include <functional>

class QRadioButton;

namespace tarmelo::gui {

// Drops every character that the field's key filter refuses or that Windows-1252 cannot hold. It runs for
// typed and for pasted text alike, so nothing that would corrupt a marketplace line reaches a record.
class KeyFilterValidator : public QValidator {
public:
    KeyFilterValidator(model::Filter filter, QObject* parent);
    State validate(QString& input, int& pos) const override;
    static bool passes(model::Filter filter, QChar c);

private:
    model::Filter filter_;
};

// A mask edit that keeps the stored form: unfilled positions are blanks ("06-2007", "  -    ").
class MaskEdit : public QLineEdit {
    Q_OBJECT
public:
    MaskEdit(const QString& mask, QWidget* parent);
    void setStoredText(const QByteArray& text);
    QByteArray storedText() const;

private:
    QByteArray shown_;
    QString shownDisplay_;
};

// Amounts with thousands separators in the system's format: ",0.00" or without decimals. A number above the
// range is typed as it comes and brought to the bound when it is read.
class AmountEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    AmountEdit(int decimals, double maximum, QWidget* parent);
    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;
    double valueFromText(const QString& text) const override;
};

// The free text: at most 2000 characters, a line break counting two; only Windows-1252 characters.
class MemoEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoEdit(QWidget* parent);
    static constexpr int kLimit = 2000;
    // Characters as the record counts them.
    int storedLength() const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;

private:
    void insertFiltered(const QString& text);
};

// Removes the characters Windows-1252 cannot hold and those the filter refuses.
QString filterText(model::Filter filter, const QString& text);

// The control of one record field on one class's page: it shows the field of a record (the show step) and puts
// its value back (the store step). One class per control kind; makeFieldControl picks it from the field table.
// Only a control the person changed since the show step writes its field: showing a vehicle never alters it,
// whatever its controls can or cannot display.
class FieldControl {
public:
    FieldControl(const model::FieldSpec& field, int klasse) : field_(field), klasse_(klasse) {}
    virtual ~FieldControl() = default;
    virtual QWidget* widget() = 0;
    // The widgets that take the focus, in tab order.
    virtual QList<QWidget*> focusWidgets() { return {widget()}; }
    // The show step: the control takes the record's value and counts as unedited.
    void show(const model::TFahrzeug& v) {
        fill(v);
        edited_ = false;
    }
    // The store step: the field is written only when the control was edited since the show step.
    void storeEdited(model::TFahrzeug& v) const {
        if (edited_)
            store(v);
    }
    void setEdited() { edited_ = true; }
    const model::FieldSpec& field() const { return field_; }

protected:
    virtual void fill(const model::TFahrzeug& v) = 0;
    virtual void store(model::TFahrzeug& v) const = 0;
    // The field's text as the record keeps it: cut to the width, trimmed where the class's store step trims.
    QByteArray recordText(const QString& text) const;

    const model::FieldSpec& field_;
    const int klasse_;

private:
    bool edited_ = false;
};

// changed runs on every edit of the control, including those the show step makes; every change marks the control
// edited, and the show step clears that mark afterwards.
FieldControl* makeFieldControl(const model::FieldSpec& field, int klasse, QWidget* parent,
                               const std::function<void()>& changed);

} // namespace tarmelo::gui
