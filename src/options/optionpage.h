#pragma once

#include "settingsstore.h"

#include <QGroupBox>
#include <QObject>

#include <functional>
#include <initializer_list>
#include <vector>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace q47 {

class OptionStates;

// The options dialog's controls bound to the settings store: each takes its setting's control
// name from the catalogue, shows the setting's value from then on and writes what the operator
// changes into the store at once.
class OptionBindings : public QObject {
    Q_OBJECT
public:
    // `chooseColour` answers a colour button's click.
    OptionBindings(SettingsStore &store, std::function<void(ColourSetting)> chooseColour,
                   QObject *parent = nullptr);

    QLineEdit *text(TextSetting s, QWidget *parent);
    QWidget *check(FlagSetting s, const QString &caption, QWidget *parent);
    QWidget *option(ChoiceSetting s, const QString &caption, QWidget *parent);
    QComboBox *combo(IndexSetting s, const QStringList &items, QWidget *parent);
    QWidget *colour(ColourSetting s, const QString &caption, QWidget *parent);
    // `widget` (a line edit or a label) shows text setting `s`.
    void bind(TextSetting s, QWidget *widget);

    // Every control bound to `slot`, or every bound control, shows its setting's value.
    void show(int slot);
    void showAll();

private:
    struct Binding {
        int slot;
        QWidget *widget;
    };
    void bind(int slot, QWidget *widget);
    void show(const Binding &binding);

    SettingsStore &store_;
    std::function<void(ColourSetting)> chooseColour_;
    std::vector<Binding> bindings_;
};

// One page of the options dialog: the frame the page's button shows, named "Frame1(page)",
// holding the controls of the settings the catalogue puts on that page and no others.
class OptionsPage : public QGroupBox {
    Q_OBJECT
public:
    OptionsPage(int page, const QString &caption, OptionBindings &bindings,
                QWidget *parent = nullptr);

    int page() const { return page_; }
    // The controls other controls govern, as `states` has them.
    virtual void applyStates(const OptionStates &states);

protected:
    // Bound controls of this page's own settings.
    QLineEdit *boundText(TextSetting s, QWidget *parent);
    QWidget *boundCheck(FlagSetting s, const QString &caption, QWidget *parent);
    QWidget *boundOption(ChoiceSetting s, const QString &caption, QWidget *parent);
    QComboBox *boundCombo(IndexSetting s, const QStringList &items, QWidget *parent);
    QWidget *boundColour(ColourSetting s, const QString &caption, QWidget *parent);
    void bindText(TextSetting s, QWidget *widget);

    // A wrapped explanation; the "..." of a file or folder choice; widgets in a row.
    static QLabel *note(const QString &text, QWidget *parent);
    static QPushButton *browseButton(QWidget *parent);
    static QHBoxLayout *row(std::initializer_list<QWidget *> widgets, bool stretch = false);

private:
    template <SettingKind K> void checkPage(SettingId<K> s) const;

    const int page_;
    OptionBindings &bindings_;
};

} // namespace q47
