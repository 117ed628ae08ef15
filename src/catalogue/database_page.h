#pragma once

#include "core/window_part.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace mosswick {

class CatalogueAccess;
class LoaderListing;

// The loader tab's "Database" page: a new catalogue, the open one's
// password, and (where the edition has it) its compaction.
class DatabasePage : public WindowPart {
    Q_OBJECT
public:
    // listing: the loader's lists; a new catalogue is made in the folder
    // they show. access: closes the catalogue before its file is copied.
    DatabasePage(CatalogueSession& session, const LoaderListing& listing, CatalogueAccess& access,
                 QWidget* parent = nullptr);

    void reset() override;
    void enable_for_catalogue() override;

signals:
    // The password change replaced the file (or failed): nothing is open.
    void catalogue_closed();

private:
    // Creates "new.mdb" in the folder the loader lists.
    void Create_database_Click();
    // Changes the open catalogue's password (and encryption) by copying it.
    void Command1_Click();
    // Copies the open catalogue into a compact file that takes its place,
    // and leaves it closed.
    void compact_database_Click();

    const LoaderListing& m_listing;
    CatalogueAccess& m_access;
    QPushButton* Create_database = nullptr;
    QPushButton* compact_database = nullptr;   // "Compact" (the light window's Command2)
    QCheckBox* Check1 = nullptr;               // the new catalogue gets the default password
    QCheckBox* Check3 = nullptr;               // the new catalogue is encrypted
    QLineEdit* Text35 = nullptr;               // new password
    QLineEdit* Text36 = nullptr;               // the new password again
    QCheckBox* Check4 = nullptr;               // encrypt on the password change
    QPushButton* Command1 = nullptr;           // the password change
};

} // namespace mosswick
