#include "settings/key_value_store.h"

#include "platform/log.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QEvent>

#include <cmath>

namespace {

// Text as written by hand or by QSettings; other stored shapes (lists, points) do not count.
std::optional<QString> textOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        const QString text = QString::fromUtf8(bytes);
        if (text.toUtf8() != bytes) // not valid UTF-8
            return std::nullopt;
        return text;
    }
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toString();
    default:
        return std::nullopt;
    }
}

} // namespace

KeyValueStore::KeyValueStore()
    : KeyValueStore(Paths::settingsFile()) {}

KeyValueStore::KeyValueStore(const QString& path, int writeIntervalMs)
    : m_path(path)
    , m_settings(std::make_unique<QSettings>(path, QSettings::IniFormat))
    , m_writeIntervalMs(writeIntervalMs) {
    m_settings->installEventFilter(this);
    m_flushTimer.setSingleShot(true);
    connect(&m_flushTimer, &QTimer::timeout, this, [this] { flush(); });
}

KeyValueStore::~KeyValueStore() {
    flush();
}

KeyValueStore& KeyValueStore::shared() {
    static KeyValueStore* store = [] {
        auto* created = new KeyValueStore();
        // The instance lives until exit; what waits for the write interval is written then.
        if (QCoreApplication::instance())
            QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, created,
                             [created] { created->flush(); });
        return created;
    }();
    return *store;
}

QString KeyValueStore::fileName() const {
    return m_path;
}

void KeyValueStore::registerDefaults(const QHash<QString, bool>& defaults) {
    m_registeredBools.insert(defaults);
}

std::optional<bool> KeyValueStore::storedBool(const QString& key) const {
    const QVariant value = m_settings->value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const std::optional<QString> text = textOf(value);
    if (!text)
        return std::nullopt;
    const QString word = text->trimmed().toLower();
    if (word == u"true" || word == u"yes" || word == u"on")
        return true;
    if (word == u"false" || word == u"no" || word == u"off")
        return false;
    bool isNumber = false;
    const double number = word.toDouble(&isNumber);
    if (isNumber && std::isfinite(number))
        return number != 0.0;
    return std::nullopt;
}

bool KeyValueStore::readBool(const QString& key) const {
    return readBool(key, m_registeredBools.value(key, false));
}

bool KeyValueStore::readBool(const QString& key, bool fallback) const {
    return storedBool(key).value_or(fallback);
}

double KeyValueStore::readDouble(const QString& key) const {
    const QVariant value = m_settings->value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1.0 : 0.0;
    const std::optional<QString> text = textOf(value);
    if (!text)
        return 0.0;
    bool ok = false;
    const double number = text->trimmed().toDouble(&ok);
    return ok && std::isfinite(number) ? number : 0.0;
}

std::optional<QString> KeyValueStore::readText(const QString& key) const {
    return textOf(m_settings->value(key));
}

std::optional<QByteArray> KeyValueStore::readData(const QString& key) const {
    const QVariant value = m_settings->value(key);
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    if (value.typeId() == QMetaType::QString)
        return value.toString().toUtf8();
    return std::nullopt;
}

void KeyValueStore::writeBool(const QString& key, bool value) {
    write(key, value);
}
void KeyValueStore::writeDouble(const QString& key, double value) {
    write(key, value);
}
void KeyValueStore::writeText(const QString& key, const QString& value) {
    write(key, value);
}
void KeyValueStore::writeData(const QString& key, const QByteArray& value) {
    write(key, value);
}

void KeyValueStore::remove(const QString& key) {
    m_settings->remove(key);
    m_unsynced.insert(key, std::nullopt);
    scheduleFlush();
}

void KeyValueStore::write(const QString& key, const QVariant& value) {
    m_settings->setValue(key, value);
    m_unsynced.insert(key, value);
    scheduleFlush();
}

// QSettings writes its file on its own in the next turn of the event loop after every change;
// the store decides when to write instead.
bool KeyValueStore::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_settings.get() && event->type() == QEvent::UpdateRequest)
        return true;
    return QObject::eventFilter(watched, event);
}

void KeyValueStore::reopen() {
    m_settings = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    m_settings->installEventFilter(this);
    for (auto it = m_unsynced.cbegin(); it != m_unsynced.cend(); ++it) {
        if (it.value())
            m_settings->setValue(it.key(), *it.value());
        else
            m_settings->remove(it.key());
    }
}

void KeyValueStore::scheduleFlush() {
    if (m_flushTimer.isActive())
        return;
    const qint64 sinceLast = m_sinceLastWrite.isValid() ? m_sinceLastWrite.elapsed() : -1;
    const bool recent = sinceLast >= 0 && sinceLast < m_writeIntervalMs;
    m_flushTimer.start(recent ? int(m_writeIntervalMs - sinceLast) : 0);
}

bool KeyValueStore::flush() {
    m_flushTimer.stop();
    if (m_unsynced.isEmpty())
        return true;
    ++m_fileWrites;
    m_sinceLastWrite.start();
    if (m_reopenBeforeSync)
        reopen();
    m_reopenBeforeSync = false;
    m_settings->sync();
    const QSettings::Status status = m_settings->status();
    if (status == QSettings::AccessError) {
        if (!m_reportedFailure)
            qCWarning(lcPurrtick).noquote()
                << QStringLiteral("설정 저장 실패: %1에 쓸 수 없습니다").arg(m_path);
        m_reportedFailure = true;
        m_reopenBeforeSync = true;
        return false;
    }
    m_unsynced.clear();
    m_reportedFailure = false;
    // A format error met while reading a damaged file is gone once the file is rewritten;
    // a fresh instance keeps it from hiding later write failures.
    m_reopenBeforeSync = status != QSettings::NoError;
    return true;
}
