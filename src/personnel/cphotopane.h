#pragma once

#include "personnel/panecommand.h"
#include "personnel/selectedperson.h"

#include <QByteArray>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::personnel {

// The photo pane ("相片"): the selected person's picture from qp_PsnAdj, with open, save as,
// camera picture and clear. The picture is kept as the file's bytes, unchanged.
class CPhotoPane
{
public:
    // Pictures larger than this are refused like undecodable ones.
    static constexpr qint64 kMaxPhotoBytes = 10LL * 1024 * 1024;

    CPhotoPane(core::COrvaneApp& app, core::Prompter& prompter);

    // Loads the person's picture (empty when he has none or none is selected).
    void setPerson(const SelectedPerson& person);
    const SelectedPerson& person() const { return m_person; }
    const QByteArray& photo() const { return m_photo; }
    bool hasPhoto() const { return !m_photo.isEmpty(); }

    // "打开(&O)": a picture file chosen by the operator replaces the photo and is stored.
    bool openPhoto();
    // "拍照(&P)": a captured picture (JPEG bytes) replaces the photo and is stored.
    bool setCapturedPhoto(const QByteArray& bytes);
    // "清除(&C)": after confirmation the photo row is deleted.
    bool clearPhoto();
    // "另存为(&A)": the picture's bytes into a file.
    bool savePhotoAs();

    // True when the bytes decode as a picture of acceptable size.
    static bool isPicture(const QByteArray& bytes);
    // The store step shared with the person form: writes (or, for empty bytes, deletes) the
    // person's photo row. False with the data layer's error in `error` on failure.
    static bool storePhoto(db::CADODatabase& database, int pid, const QByteArray& bytes,
                           QString* error = nullptr);

private:
    bool replaceWith(const QByteArray& bytes);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    PaneCommand m_command;
    SelectedPerson m_person;
    QByteArray m_photo;
};

} // namespace orvane::personnel
