#include "app/qt_profile.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtGlobal>

#include <limits>

namespace arbolix {

namespace {

constexpr char kSection[] = "Arbolix";

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::unique_ptr<QSettings> OpenSettings(const std::string& iniPath) {
    if (!iniPath.empty())
        return std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat);
    const QString fromEnvironment = qEnvironmentVariable("ARBOLIX_PROFILE");
    if (!fromEnvironment.isEmpty())
        return std::make_unique<QSettings>(fromEnvironment, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "velmora",
                                       "Arbolix");
}

// The text of a stored value. An INI value that was written by hand with unquoted commas comes
// back as a list: it is joined again.
std::optional<QString> ValueText(const QVariant& value) {
    if (!value.isValid()) return std::nullopt;
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(", ");
    if (!value.canConvert<QString>()) return std::nullopt;
    return value.toString();
}

class SettingsProfile final : public Profile {
public:
    explicit SettingsProfile(std::unique_ptr<QSettings> settings) : settings_(std::move(settings)) {
        settings_->beginGroup(kSection);
    }

    std::optional<int32_t> readInt(std::string_view key) const override {
        const QVariant value = settings_->value(ToQString(key));
        switch (value.typeId()) {
        case QMetaType::Int:
            return value.toInt();
        case QMetaType::LongLong: {
            const qlonglong number = value.toLongLong();
            if (number < std::numeric_limits<int32_t>::min() ||
                number > std::numeric_limits<int32_t>::max())
                return std::nullopt;
            return static_cast<int32_t>(number);
        }
        default:
            break;
        }
        const std::optional<QString> text = ValueText(value);
        if (!text) return std::nullopt;
        return ParseProfileInt(text->toStdString());
    }

    std::optional<std::string> readString(std::string_view key) const override {
        const std::optional<QString> text = ValueText(settings_->value(ToQString(key)));
        if (!text) return std::nullopt;
        return text->toStdString();
    }

    void writeInt(std::string_view key, int32_t value) override {
        settings_->setValue(ToQString(key), value);
        settings_->sync();
    }

    void writeString(std::string_view key, std::string_view value) override {
        settings_->setValue(ToQString(key), ToQString(value));
        settings_->sync();
    }

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace

std::unique_ptr<Profile> OpenProfile(const std::string& iniPath) {
    return std::make_unique<SettingsProfile>(OpenSettings(iniPath));
}

std::string ProfileFilePath(const std::string& iniPath) {
    return OpenSettings(iniPath)->fileName().toStdString();
}

} // namespace arbolix
