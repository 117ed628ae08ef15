#pragma once

#include "core/window_part.h"

class QPushButton;
class QTableView;

namespace mosswick {

// The loader's "Import / Export" page: every record with where its picture
// lives, and the move of one picture between the catalogue and a file in
// the catalogue's folder. Built only in an edition with stored pictures.
class ImportExportPage : public WindowPart {
    Q_OBJECT
public:
    explicit ImportExportPage(CatalogueSession& session, QWidget* parent = nullptr);

    void clear() override;
    void enable_for_catalogue() override;

signals:
    // The list is being filled (true) or done (false): the loader's tabs
    // hold still meanwhile.
    void listing(bool running);

private:
    // Lists every record with where its picture lives.
    void refresh_extraction_Click();
    // A click on one row arms "Import/Export".
    void MSHFlexGrid2_Click();
    // Moves the chosen row's picture between the catalogue and a file.
    void Extract_Click();
    void connect_handlers();
    void set_message(const QString& text);

    QPushButton* refresh_extraction = nullptr;
    QTableView* MSHFlexGrid2 = nullptr;   // the import/export grid
    QPushButton* Extract = nullptr;       // "Import/Export"
};

} // namespace mosswick
