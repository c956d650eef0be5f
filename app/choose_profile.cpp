// SPDX-License-Identifier: MIT
// Choosing an application profile: its fields take the place of the text
// (a profile's whole document stays in the text), its settings take the
// place of those the window leaves on Auto, and what breaks its scheme is
// refused beside the field at fault, in the scheme's own rule.

#include <QSettings>

#include "app/main_dialog.h"

namespace barquill::app {

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

const ProfileField* documentField(const std::optional<ProfileInfo>& profile) {
    if (!profile) return nullptr;
    for (const ProfileField& field : profile->fields)
        if (field.document) return &field;
    return nullptr;
}

}  // namespace

void CMainDialog::ProfileChanged() {
    // What was typed for the profile left, or the options of free text, are kept.
    if (m_profile)
        m_profileValues.insert(fromUtf8(m_profile->name), m_profileForm.values());
    else
        m_freeOptions = {m_cbLevel.currentIndex(), m_spColumns.value(), m_cbCharset.currentIndex()};
    {
        // One symbol for the change, not one for each field it sets.
        const QSignalBlocker level(m_cbLevel), columns(m_spColumns), charset(m_cbCharset),
            form(m_profileForm);
        if (m_cbProfile.currentData().toString().isEmpty()) {
            m_cbLevel.setCurrentIndex(m_freeOptions.levelIndex);
            m_spColumns.setValue(m_freeOptions.columns);
            m_cbCharset.setCurrentIndex(m_freeOptions.charsetIndex);
        } else {
            // Auto leaves each to the scheme; a choice of the user's is checked against it.
            m_cbLevel.setCurrentIndex(m_cbLevel.findData(autoLevel));
            m_spColumns.setValue(0);
            m_cbCharset.setCurrentIndex(0);
        }
        ApplyProfile();
    }
    InputChanged();
}

// The form of the profile chosen, with what was typed in it last.
void CMainDialog::ApplyProfile() {
    const QString name = m_cbProfile.currentData().toString();
    m_profile = name.isEmpty() ? std::nullopt : findProfile(name.toStdString());
    m_profileForm.setProfile(m_profile);
    if (m_profile && !m_profileValues.contains(name)) {
        QSettings settings;
        settings.beginGroup(QStringLiteral("profiles/") + name);
        QHash<QString, QString> typed;
        for (const QString& key : settings.childKeys())
            typed.insert(key, settings.value(key).toString());
        m_profileValues.insert(name, typed);
    }
    if (m_profile) m_profileForm.setValues(m_profileValues.value(name));
    m_profileNote.setText(m_profile ? tr("Symbol: %1").arg(fromUtf8(m_profile->settings))
                                    : QString());
    m_profileNote.setVisible(m_profile.has_value());

    const bool text = TextShown();
    m_textCaption->setVisible(text);
    m_edText.setVisible(text);
    m_btnLoad.setVisible(text);
    m_loadedNote.setVisible(text && m_edText.isLoaded());
    // A profile's data passes as given: no escapes.
    m_chkEscapes.setVisible(!m_profile);
    const ProfileField* document = documentField(m_profile);
    m_edText.setToolTip(document != nullptr
                            ? tr("%1: %2").arg(fromUtf8(document->label), fromUtf8(document->rule))
                            : m_textTip);
    LoadedStateChanged();
    SetTabOrder();
}

// The text holds free text, or a profile's document; a profile of fields
// alone has no text.
bool CMainDialog::TextShown() const {
    return !m_profile || documentField(m_profile) != nullptr;
}

QString CMainDialog::ProfileProblem(const Error& error) {
    if (!m_profile) return {};
    const QColor colour = ProblemColour();
    if (error.code == ErrorCode::invalidField) {
        const QString key = fromUtf8(error.field);
        const ProfileField* document = documentField(m_profile);
        const bool isDocument = document != nullptr && document->key == error.field;
        const QString label = isDocument ? fromUtf8(document->label) : m_profileForm.labelOf(key);
        const bool empty = isDocument ? m_edText.text().isEmpty() && !m_edText.isLoaded()
                                      : m_profileForm.isEmpty(key);
        const QString problem = Messages::fieldProblem(error, label, empty);
        if (isDocument)
            ShowFieldError(&m_edText, problem);
        else
            m_profileForm.showProblem(key, problem, colour);
        return problem;
    }
    if (error.code == ErrorCode::profileConflict) {
        const QHash<QString, QWidget*> settingFields = {{QStringLiteral("level"), &m_cbLevel},
                                                        {QStringLiteral("columns"), &m_spColumns},
                                                        {QStringLiteral("quietZone"), &m_spMargin},
                                                        {QStringLiteral("charset"), &m_cbCharset}};
        QWidget* field = settingFields.value(fromUtf8(error.field));
        const QString problem = Messages::profileConflict(
            error, field != nullptr ? field->accessibleName() : fromUtf8(error.field));
        if (field != nullptr) ShowFieldError(field, problem);
        return problem;
    }
    if (error.code == ErrorCode::invalidOption && error.field == "charset") {
        const QString problem = Messages::profileCharset(error, fromUtf8(m_profile->title));
        ShowFieldError(&m_cbCharset, problem);
        return problem;
    }
    return {};
}

}  // namespace barquill::app
