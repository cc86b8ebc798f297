#include "support/TWindow_Fixture.h"

TWindow_Fixture::TWindow_Fixture() : Form(std::make_unique<TForm1>(Environment)) {
  Form->FormCreate();
  Form->show();
}

TWindow_Fixture::~TWindow_Fixture() {
  Form->hide();
  Form.reset();
}
