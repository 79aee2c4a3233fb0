#include "FieldWidgets.h"

#include "model/Cp1252.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QRadioButton>

namespace tarmelo::gui {

KeyFilterValidator::KeyFilterValidator(model::Filter filter, QObject* parent) : QValidator(parent), filter_(filter) {}

bool KeyFilterValidator::passes(model::Filter filter, QChar c) {
    return model::passesFilter(filter, c);
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

QValidator::State AmountEdit::validate(QString& text, int& pos) const {
    const QValidator::State state = QDoubleSpinBox::validate(text, pos);
    if (state != QValidator::Invalid)
        return state;
    // Too large, but a number: kept while typing, limited when read.
    bool ok = false;
    const double v = locale().toDouble(QString(text).remove(locale().groupSeparator()), &ok);
    return ok && v > maximum() ? QValidator::Intermediate : QValidator::Invalid;
}

void AmountEdit::fixup(QString& text) const {
    bool ok = false;
    const double v = locale().toDouble(QString(text).remove(locale().groupSeparator()), &ok);
    if (ok && v > maximum())
        text = textFromValue(maximum());
    else
        QDoubleSpinBox::fixup(text);
}

double AmountEdit::valueFromText(const QString& text) const {
    return std::min(QDoubleSpinBox::valueFromText(text), maximum());
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

namespace {

using model::FieldSpec;

// Line breaks of the record are CR LF; the text control works with LF.
QString memoToUi(const QByteArray& memo) {
    return model::fromCp1252(memo).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
QByteArray memoFromUi(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return model::toCp1252(t).value_or(QByteArray());
}

// The brand lists are old: a brand may be typed. The colour list only suggests as well.
bool typedList(model::ListId list) {
    return list == model::ListId::Farbe || list == model::ListId::Marke;
}

class ComboControl : public QComboBox, public FieldControl {
public:
    ComboControl(const FieldSpec& f, int c, QWidget* parent)
        : QComboBox(parent), FieldControl(f, c), hint_(f.hint ? QString::fromUtf8(f.hint) : QString()) {
        addItems(model::listDisplayItems(f.list, c));
        if (typed()) {
            setEditable(true);
            setInsertPolicy(QComboBox::NoInsert);
            lineEdit()->setMaxLength(f.width);
            lineEdit()->setValidator(new KeyFilterValidator(model::Filter::None, this));
            connect(this, &QComboBox::editTextChanged, this, [this] { markUnknown(false); });
        } else {
            setMaxVisibleItems(20);
            connect(this, &QComboBox::currentIndexChanged, this, [this](int i) { markUnknown(i < 0 && unknown_); });
        }
    }
    QWidget* widget() override { return this; }
    // The colour list only suggests: any text may be typed. So may a brand the list does not know.
    bool typed() const { return typedList(field_.list); }

protected:
    void fill(const model::TFahrzeug& v) override {
        if (field_.list == model::ListId::Farbe) {
            setEditText(model::fromCp1252(model::colourShowText(v.*field_.text)));
            return;
        }
        const int index = model::showIndex(field_, v);
        // A value the list does not hold is shown as it is stored, set apart from the list's items, and kept.
        const QString stored = index < 0 && field_.text ? model::fromCp1252(v.*field_.text) : QString();
        if (typed()) {
            setCurrentIndex(index);
            if (index < 0)
                setEditText(stored);
        } else {
            unknown_ = !stored.isEmpty();
            setPlaceholderText(stored);
            setCurrentIndex(index);
        }
        markUnknown(!stored.isEmpty());
    }
    void store(model::TFahrzeug& v) const override {
        if (field_.list == model::ListId::Farbe)
            v.*field_.text = model::colourStoreText(model::toCp1252(currentText()).value_or(QByteArray()));
        else if (typed())
            v.*field_.text = model::cut(model::toCp1252(currentText()).value_or(QByteArray()), field_.width);
        else
            model::storeIndex(field_, v, currentIndex());
    }

private:
    void markUnknown(bool on) {
        if (on == italic_)
            return;
        italic_ = on;
        QFont f = font();
        f.setItalic(on);
        setFont(f);
        setToolTip(on ? QStringLiteral("nicht in der Liste") : hint_);
    }

    const QString hint_;
    bool unknown_ = false; // the shown record holds a value the list does not
    bool italic_ = false;
};

class EditControl : public QLineEdit, public FieldControl {
public:
    EditControl(const FieldSpec& f, int c, QWidget* parent) : QLineEdit(parent), FieldControl(f, c) {
        setMaxLength(f.width);
        setValidator(new KeyFilterValidator(f.filter, this));
    }
    QWidget* widget() override { return this; }
    void fill(const model::TFahrzeug& v) override {
        // The key filter is for typing; a stored value (one read from a file) is shown as it is.
        const QValidator* filter = validator();
        setValidator(nullptr);
        setText(model::fromCp1252(v.*field_.text));
        setValidator(filter);
    }
    void store(model::TFahrzeug& v) const override { v.*field_.text = recordText(text()); }
};

QString uiMask(const FieldSpec& f) {
    QString mask = QString::fromLatin1(f.mask).replace(QStringLiteral(";1;_"), QStringLiteral(";_"));
    // Every digit position may stay empty; the date's separators are the German dots.
    return mask.replace(QLatin1Char('9'), QLatin1Char('0')).replace(QLatin1Char('/'), QLatin1Char('.'));
}

class MaskControl : public MaskEdit, public FieldControl {
public:
    MaskControl(const FieldSpec& f, int c, QWidget* parent) : MaskEdit(uiMask(f), parent), FieldControl(f, c) {}
    QWidget* widget() override { return this; }
    void fill(const model::TFahrzeug& v) override { setStoredText(v.*field_.text); }
    void store(model::TFahrzeug& v) const override {
        const QByteArray s = MaskEdit::storedText();
        v.*field_.text = model::cut(model::inSet(field_.trimIn, klasse_) ? s.trimmed() : s, field_.width);
    }
};

class AmountControl : public AmountEdit, public FieldControl {
public:
    AmountControl(const FieldSpec& f, int c, QWidget* parent)
        : AmountEdit(model::amountRange(f).decimals, model::amountRange(f).maximum, parent), FieldControl(f, c) {}
    QWidget* widget() override { return this; }
    void fill(const model::TFahrzeug& v) override { setValue(v.*field_.amount); }
    void store(model::TFahrzeug& v) const override { v.*field_.amount = value(); }
};

class CheckControl : public QCheckBox, public FieldControl {
public:
    CheckControl(const FieldSpec& f, int c, QWidget* parent)
        : QCheckBox(model::label(f, c), parent), FieldControl(f, c) {}
    QWidget* widget() override { return this; }
    void fill(const model::TFahrzeug& v) override { setChecked(v.*field_.byte != 0); }
    void store(model::TFahrzeug& v) const override { v.*field_.byte = isChecked() ? 1 : 0; }
};

// The accident question: "Ja" and "Nein".
class RadioControl : public QWidget, public FieldControl {
public:
    RadioControl(const FieldSpec& f, int c, QWidget* parent) : QWidget(parent), FieldControl(f, c) {
        auto* lay = new QHBoxLayout(this);
        lay->setContentsMargins(0, 0, 0, 0);
        yes_ = new QRadioButton(QStringLiteral("Ja"), this);
        no_ = new QRadioButton(QStringLiteral("Nein"), this);
        yes_->setObjectName(model::controlName(f, c));
        no_->setObjectName(QStringLiteral("rb_%1_no%2").arg(c).arg(QLatin1StringView(f.name)));
        auto* buttons = new QButtonGroup(this);
        buttons->addButton(yes_);
        buttons->addButton(no_);
        lay->addWidget(yes_);
        lay->addWidget(no_);
        lay->addStretch();
    }
    QWidget* widget() override { return this; }
    QList<QWidget*> focusWidgets() override { return {yes_, no_}; }
    void fill(const model::TFahrzeug& v) override { (v.*field_.byte ? yes_ : no_)->setChecked(true); }
    void store(model::TFahrzeug& v) const override { v.*field_.byte = yes_->isChecked() ? 1 : 0; }
    QRadioButton* yes() const { return yes_; }

private:
    QRadioButton* yes_;
    QRadioButton* no_;
};

class MemoControl : public MemoEdit, public FieldControl {
public:
    MemoControl(const FieldSpec& f, int c, QWidget* parent) : MemoEdit(parent), FieldControl(f, c) {}
    QWidget* widget() override { return this; }
    void fill(const model::TFahrzeug& v) override { setPlainText(memoToUi(v.*field_.text)); }
    void store(model::TFahrzeug& v) const override {
        v.*field_.text = model::cut(memoFromUi(toPlainText()).trimmed(), field_.width);
    }
};

} // namespace

QByteArray FieldControl::recordText(const QString& text) const {
    const QByteArray bytes = model::toCp1252(text).value_or(QByteArray());
    return model::cut(model::inSet(field_.trimIn, klasse_) ? bytes.trimmed() : bytes, field_.width);
}

namespace {

// Every change of the control marks it edited before the handler runs: a field whose change is stored at once
// must find its control edited.
template <typename Sender, typename Signal>
void onEdit(FieldControl* control, Sender* sender, Signal signal, const std::function<void()>& changed) {
    QObject::connect(sender, signal, sender, [control, changed] {
        control->setEdited();
        changed();
    });
}

} // namespace

FieldControl* makeFieldControl(const FieldSpec& f, int klasse, QWidget* parent, const std::function<void()>& changed) {
    FieldControl* control = nullptr;
    switch (f.control) {
    case model::Control::Combo: {
        auto* box = new ComboControl(f, klasse, parent);
        if (box->typed())
            onEdit(box, box, &QComboBox::editTextChanged, changed);
        onEdit(box, box, &QComboBox::currentIndexChanged, changed);
        control = box;
        break;
    }
    case model::Control::Edit: {
        auto* e = new EditControl(f, klasse, parent);
        onEdit(e, e, &QLineEdit::textChanged, changed);
        control = e;
        break;
    }
    case model::Control::Mask: {
        auto* e = new MaskControl(f, klasse, parent);
        onEdit(e, e, &QLineEdit::textChanged, changed);
        control = e;
        break;
    }
    case model::Control::Amount: {
        auto* e = new AmountControl(f, klasse, parent);
        onEdit(e, e, &QDoubleSpinBox::valueChanged, changed);
        control = e;
        break;
    }
    case model::Control::Check: {
        auto* b = new CheckControl(f, klasse, parent);
        onEdit(b, b, &QCheckBox::toggled, changed);
        control = b;
        break;
    }
    case model::Control::Radio: {
        auto* r = new RadioControl(f, klasse, parent);
        onEdit(r, r->yes(), &QRadioButton::toggled, changed);
        return r;
    }
    case model::Control::Memo: {
        auto* m = new MemoControl(f, klasse, parent);
        onEdit(m, m, &QPlainTextEdit::textChanged, changed);
        control = m;
        break;
    }
    default:
        return nullptr;
    }
    QWidget* w = control->widget();
    w->setObjectName(model::controlName(f, klasse));
    if (f.hint) {
        w->setToolTip(QString::fromUtf8(f.hint));
        w->setStatusTip(QString::fromUtf8(f.hint));
    }
    return control;
}

} // namespace tarmelo::gui
