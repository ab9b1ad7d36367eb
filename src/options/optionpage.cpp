#include "optionpage.h"

#include "optionview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace q47 {

OptionBindings::OptionBindings(SettingsStore &store,
                               std::function<void(ColourSetting)> chooseColour, QObject *parent)
    : QObject(parent), store_(store), chooseColour_(std::move(chooseColour)) {}

void OptionBindings::bind(int slot, QWidget *widget) {
    widget->setObjectName(controlName(slot));
    bindings_.push_back(Binding{slot, widget});
}

void OptionBindings::bind(TextSetting s, QWidget *widget) {
    bind(s.slot, widget);
}

QLineEdit *OptionBindings::text(TextSetting s, QWidget *parent) {
    auto *edit = new QLineEdit(parent);
    edit->setMinimumWidth(280);
    bind(s.slot, edit);
    connect(edit, &QLineEdit::textEdited, this,
            [this, s](const QString &text) { store_.setText(s, text); });
    return edit;
}

QWidget *OptionBindings::check(FlagSetting s, const QString &caption, QWidget *parent) {
    auto *box = new QCheckBox(caption, parent);
    bind(s.slot, box);
    connect(box, &QCheckBox::clicked, this,
            [this, s](bool checked) { store_.setFlag(s, checked ? 1 : 0); });
    return box;
}

QWidget *OptionBindings::option(ChoiceSetting s, const QString &caption, QWidget *parent) {
    auto *button = new QRadioButton(caption, parent);
    // The store keeps each group to one selection; Qt's grouping by parent would not match
    // the groups that share a frame.
    button->setAutoExclusive(false);
    bind(s.slot, button);
    connect(button, &QRadioButton::clicked, this, [this, s, button] {
        store_.select(s);
        button->setChecked(store_.isSelected(s));
    });
    return button;
}

QComboBox *OptionBindings::combo(IndexSetting s, const QStringList &items, QWidget *parent) {
    auto *combo = new QComboBox(parent);
    combo->addItems(items);
    combo->setMaxVisibleItems(20);
    bind(s.slot, combo);
    connect(combo, &QComboBox::activated, this,
            [this, s](int row) { store_.setListIndex(s, row); });
    return combo;
}

QWidget *OptionBindings::colour(ColourSetting s, const QString &caption, QWidget *parent) {
    auto *button = new ColourButton(caption, parent);
    bind(s.slot, button);
    connect(button, &QPushButton::clicked, this, [this, s] { chooseColour_(s); });
    return button;
}

void OptionBindings::show(int slot) {
    for (const Binding &b : bindings_) {
        if (b.slot == slot)
            show(b);
    }
}

void OptionBindings::showAll() {
    for (const Binding &b : bindings_)
        show(b);
}

void OptionBindings::show(const Binding &b) {
    const auto id = static_cast<std::uint8_t>(b.slot);
    switch (kSettingCatalogue[static_cast<size_t>(b.slot)].kind) {
    case SettingKind::Text: {
        const QString text = store_.text(TextSetting{id});
        if (auto *edit = qobject_cast<QLineEdit *>(b.widget)) {
            if (edit->text() != text)
                edit->setText(text);
        } else if (auto *label = qobject_cast<QLabel *>(b.widget)) {
            label->setText(text);
        }
        break;
    }
    case SettingKind::Flag:
        static_cast<QCheckBox *>(b.widget)->setChecked(store_.flag(FlagSetting{id}) == 1);
        break;
    case SettingKind::Choice:
        static_cast<QRadioButton *>(b.widget)->setChecked(store_.isSelected(ChoiceSetting{id}));
        break;
    case SettingKind::Index:
        static_cast<QComboBox *>(b.widget)->setCurrentIndex(store_.listIndex(IndexSetting{id}));
        break;
    case SettingKind::Colour:
        static_cast<ColourButton *>(b.widget)->setColour(store_.colour(ColourSetting{id}));
        break;
    }
}

OptionsPage::OptionsPage(int page, const QString &caption, OptionBindings &bindings,
                         QWidget *parent)
    : QGroupBox(caption, parent), page_(page), bindings_(bindings) {
    setObjectName(QStringLiteral("Frame1(%1)").arg(page));
}

void OptionsPage::applyStates(const OptionStates &) {}

template <SettingKind K> void OptionsPage::checkPage(SettingId<K> s) const {
    if (catalogueRow(s).page != page_)
        qFatal("%s is not on options page %d", catalogueRow(s).name, page_);
}

QLineEdit *OptionsPage::boundText(TextSetting s, QWidget *parent) {
    checkPage(s);
    return bindings_.text(s, parent);
}

QWidget *OptionsPage::boundCheck(FlagSetting s, const QString &caption, QWidget *parent) {
    checkPage(s);
    return bindings_.check(s, caption, parent);
}

QWidget *OptionsPage::boundOption(ChoiceSetting s, const QString &caption, QWidget *parent) {
    checkPage(s);
    return bindings_.option(s, caption, parent);
}

QComboBox *OptionsPage::boundCombo(IndexSetting s, const QStringList &items, QWidget *parent) {
    checkPage(s);
    return bindings_.combo(s, items, parent);
}

QWidget *OptionsPage::boundColour(ColourSetting s, const QString &caption, QWidget *parent) {
    checkPage(s);
    return bindings_.colour(s, caption, parent);
}

void OptionsPage::bindText(TextSetting s, QWidget *widget) {
    checkPage(s);
    bindings_.bind(s, widget);
}

QLabel *OptionsPage::note(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QPushButton *OptionsPage::browseButton(QWidget *parent) {
    auto *button = new QPushButton(QStringLiteral("..."), parent);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 20);
    return button;
}

QHBoxLayout *OptionsPage::row(std::initializer_list<QWidget *> widgets, bool stretch) {
    auto *layout = new QHBoxLayout;
    for (QWidget *w : widgets)
        layout->addWidget(w);
    if (stretch)
        layout->addStretch(1);
    return layout;
}

} // namespace q47
