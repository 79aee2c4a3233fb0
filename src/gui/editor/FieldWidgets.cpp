#include "FieldWidgets.h"

#include "model/Cp1252.h"

#include <QKeyEvent>
#include <QMimeData>

namespace tarmelo::gui {

KeyFilterValidator::KeyFilterValidator(model::Filter filter, QObject* parent) : QValidator(parent), filter_(filter) {}

bool KeyFilterValidator::passes(model::Filter filter, QChar c) {
    const char16_t u = c.unicode();
    const bool digit = u >= '0' && u <= '9';
    switch (filter) {
    case model::Filter::Digits:
        return digit;
    case model::Filter::Inr:
        return digit || u == ' ' || u == '-' || u == '_' || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
    case model::Filter::Decimal:
        return digit || u == ',';
    case model::Filter::None:
        break;
    }
    // Control characters, a lone C1 control among them, never belong into a field.
    return u >= 0x20 && u != 0x7F && !(u >= 0x80 && u < 0xA0) && model::isCp1252(c);
}

QString filterText(model::Filter filter, const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (KeyFilterValidator::passes(filter, c))
            out += c;
    return out;
}

QValidator::State KeyFilterValidator::validate(QString& input, int& pos) const {
    QString kept;
    int newPos = pos;
    for (int i = 0; i < input.size(); ++i) {
        if (passes(filter_, input[i]))
            kept += input[i];
        else if (i < pos)
            --newPos;
    }
    input = kept;
    pos = std::clamp(newPos, 0, int(kept.size()));
    return Acceptable;
}

MaskEdit::MaskEdit(const QString& mask, QWidget* parent) : QLineEdit(parent) {
    setInputMask(mask);
}

void MaskEdit::setStoredText(const QByteArray& text) {
    // Blanks mark unfilled positions; the mask edit takes its blank character there.
    setText(model::fromCp1252(text).replace(QLatin1Char(' '), QLatin1Char('_')));
    shown_ = text;
    shownDisplay_ = displayText();
}

QByteArray MaskEdit::storedText() const {
    const QString display = displayText();
    // A value the mask cannot show (one read from a file) is kept until the user edits it.
    if (display == shownDisplay_ && !shown_.isEmpty())
        return shown_;
    return model::toCp1252(QString(display).replace(QLatin1Char('_'), QLatin1Char(' '))).value_or(QByteArray());
}

AmountEdit::AmountEdit(int decimals, double maximum, QWidget* parent) : QDoubleSpinBox(parent) {
    setDecimals(decimals);
    setRange(0, maximum);
    setGroupSeparatorShown(true);
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent) {}

int MemoEdit::storedLength() const {
    const QString t = toPlainText();
    return int(t.size() + t.count(QLatin1Char('\n')));
}

void MemoEdit::insertFiltered(const QString& text) {
    QString clean;
    for (QChar c : text) {
        if (c == QLatin1Char('\r'))
            continue;
        if (c == QLatin1Char('\n') || KeyFilterValidator::passes(model::Filter::None, c))
            clean += c;
    }
    const int selected = int(textCursor().selectedText().size());
    int room = kLimit - storedLength() + selected;
    QString fitting;
    for (QChar c : clean) {
        const int cost = c == QLatin1Char('\n') ? 2 : 1;
        if (cost > room)
            break;
        room -= cost;
        fitting += c;
    }
    if (!fitting.isEmpty() || selected > 0)
        textCursor().insertText(fitting);
}

void MemoEdit::keyPressEvent(QKeyEvent* e) {
    const QString t = e->text();
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && !(e->modifiers() & Qt::ControlModifier)) {
        insertFiltered(QStringLiteral("\n"));
        return;
    }
    if (!t.isEmpty() && t[0].isPrint() && !(e->modifiers() & Qt::ControlModifier)) {
        insertFiltered(t);
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

bool MemoEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

void MemoEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasText())
        insertFiltered(source->text());
}

} // namespace tarmelo::gui
