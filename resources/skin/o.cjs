/* Optional skin for Pelorin Greeting Designer.
   This file is a Qt style sheet: the program reads it and applies it with
   QWidget::setStyleSheet. Colours: cream paper, olive (#999933), orchid plum. */

QWidget {
    background-color: #fbf7ea;
    color: #4a4a1c;
    font-family: "Book Antiqua", "P052", "TeX Gyre Pagella", serif;
    font-size: 10pt;
}

QPushButton {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #c2c270, stop:1 #999933);
    color: #ffffff;
    border: 1px solid #6b6b1f;
    border-radius: 5px;
    padding: 4px 14px;
}
QPushButton:hover   { background-color: #adad45; }
QPushButton:pressed { background-color: #7a7a26; }
QPushButton:disabled { background-color: #d8d6b8; color: #8c8a6a; border-color: #b5b38f; }

QGroupBox {
    border: 1px solid #c9c28e;
    border-radius: 6px;
    margin-top: 14px;
    padding: 8px 6px 6px 6px;
}
QGroupBox::title {
    subcontrol-origin: margin;
    left: 10px;
    padding: 0 4px;
    color: #8e1f57;
    font-weight: bold;
}

QPlainTextEdit {
    background-color: #ffffff;
    color: #5c5c1f;
    border: 1px solid #c9c28e;
    border-radius: 4px;
    selection-background-color: #e8b4cf;
    selection-color: #3d0f27;
}

QScrollBar:vertical   { background: #f1ebd2; width: 12px; margin: 0; }
QScrollBar:horizontal { background: #f1ebd2; height: 12px; margin: 0; }
QScrollBar::handle:vertical, QScrollBar::handle:horizontal {
    background: #b8b860; border-radius: 5px; min-height: 24px; min-width: 24px; margin: 2px;
}
QScrollBar::handle:hover { background: #999933; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
