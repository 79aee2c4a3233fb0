#pragma once

#include "model/FieldSchema.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QValidator>

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

// Amounts with thousands separators in the system's format: ",0.00" or without decimals.
class AmountEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    AmountEdit(int decimals, double maximum, QWidget* parent);
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

} // namespace tarmelo::gui
