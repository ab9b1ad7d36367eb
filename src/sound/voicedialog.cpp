#include "voicedialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace q47 {

namespace {

const QString kGroup = QStringLiteral("speech");

int storedInt(const QSettings &settings, const QString &key, int fallback) {
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok ? value : fallback;
}

// A slider with a spin box showing its exact value.
QSlider *addRangeRow(QFormLayout *form, QWidget *owner, const QString &label, const QString &name,
                     VoiceRange range, int value) {
    auto *slider = new QSlider(Qt::Horizontal, owner);
    slider->setObjectName(name);
    slider->setRange(range.min, range.max);
    auto *spin = new QSpinBox(owner);
    spin->setRange(range.min, range.max);
    QObject::connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
    QObject::connect(spin, &QSpinBox::valueChanged, slider, &QSlider::setValue);
    slider->setValue(value);
    spin->setValue(value);
    auto *row = new QHBoxLayout;
    row->addWidget(slider, 1);
    row->addWidget(spin);
    form->addRow(label, row);
    return slider;
}

} // namespace

VoiceSettings loadVoiceSettings() {
    QSettings stored;
    stored.beginGroup(kGroup);
    VoiceSettings settings;
    settings.voice = stored.value(QStringLiteral("voice"), settings.voice).toString();
    settings.rate = storedInt(stored, QStringLiteral("rate"), settings.rate);
    settings.pitch = storedInt(stored, QStringLiteral("pitch"), settings.pitch);
    settings.volume = storedInt(stored, QStringLiteral("volume"), settings.volume);
    return settings;
}

void saveVoiceSettings(const VoiceSettings &settings) {
    QSettings stored;
    stored.beginGroup(kGroup);
    stored.setValue(QStringLiteral("voice"), settings.voice);
    stored.setValue(QStringLiteral("rate"), settings.rate);
    stored.setValue(QStringLiteral("pitch"), settings.pitch);
    stored.setValue(QStringLiteral("volume"), settings.volume);
}

QString VoiceDialog::sampleText() {
    return QStringLiteral("次は、市役所前です。");
}

QString VoiceDialog::voiceLabel(const QString &voice) {
    const qsizetype plus = voice.indexOf(QLatin1Char('+'));
    if (plus < 0)
        return QStringLiteral("標準");
    const QString variant = voice.mid(plus + 1);
    if (variant.size() == 2 && variant[0] == QLatin1Char('f'))
        return QStringLiteral("女声 ") + variant[1];
    if (variant.size() == 2 && variant[0] == QLatin1Char('m'))
        return QStringLiteral("男声 ") + variant[1];
    return variant;
}

VoiceDialog::VoiceDialog(EspeakSpeech &engine, QWidget *owner, const QString &title)
    : QDialog(owner), engine_(engine), before_(engine.settings()) {
    setWindowTitle(title);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    voice_ = new QComboBox(this);
    voice_->setObjectName(QStringLiteral("voice"));
    for (const QString &voice : engine_.voices())
        voice_->addItem(voiceLabel(voice), voice);
    voice_->setCurrentIndex(std::max(0, voice_->findData(before_.voice)));
    form->addRow(QStringLiteral("声"), voice_);
    rate_ = addRangeRow(form, this, QStringLiteral("速さ"), QStringLiteral("rate"), kVoiceRate,
                        before_.rate);
    pitch_ = addRangeRow(form, this, QStringLiteral("高さ"), QStringLiteral("pitch"), kVoicePitch,
                         before_.pitch);
    volume_ = addRangeRow(form, this, QStringLiteral("音量"), QStringLiteral("volume"),
                          kVoiceVolume, before_.volume);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *sample = buttons->addButton(QStringLiteral("試聴"), QDialogButtonBox::ActionRole);
    sample->setObjectName(QStringLiteral("sample"));
    connect(sample, &QPushButton::clicked, this, [this] {
        sampled_ = true;
        engine_.speak(sampleText());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The rest of the program speaks Japanese; Qt's own captions would be English here.
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(voice_, &QComboBox::currentIndexChanged, this, &VoiceDialog::apply);
    for (QSlider *slider : {rate_, pitch_, volume_})
        connect(slider, &QSlider::valueChanged, this, &VoiceDialog::apply);
}

void VoiceDialog::apply() {
    engine_.setSettings(
        {voice_->currentData().toString(), rate_->value(), pitch_->value(), volume_->value()});
}

void VoiceDialog::accept() {
    apply();
    saveVoiceSettings(engine_.settings());
    QDialog::accept();
}

void VoiceDialog::reject() {
    engine_.setSettings(before_);
    QDialog::reject();
}

void VoiceDialog::done(int result) {
    // The sample belongs to the dialog; an announcement it did not start goes on.
    if (sampled_)
        engine_.stop();
    QDialog::done(result);
}

} // namespace q47
