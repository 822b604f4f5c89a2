#include "platform/png_handle.h"

#include <csetjmp>
#include <cstdio>
#include <new>

namespace lumetra {

PngHandle::PngHandle(Mode mode) : mode_(mode) {
  png_ = mode == Mode::kRead ? png_create_read_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning)
                             : png_create_write_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning);
  if (png_) info_ = png_create_info_struct(png_);
  if (!info_) {
    Destroy();
    throw std::bad_alloc();
  }
}

PngHandle::~PngHandle() { Destroy(); }

void PngHandle::Destroy() {
  if (mode_ == Mode::kRead) {
    png_destroy_read_struct(&png_, &info_, nullptr);
  } else {
    png_destroy_write_struct(&png_, &info_);
  }
}

bool PngHandle::Run(Step step, void* argument) {
  if (setjmp(png_jmpbuf(png_))) return false;
  step(png_, info_, argument);
  return true;
}

void PngHandle::OnError(png_structp png, png_const_charp message) {
  auto* self = static_cast<PngHandle*>(png_get_error_ptr(png));
  std::snprintf(self->error_, sizeof self->error_, "%s", message);
  png_longjmp(png, 1);
}

void PngHandle::OnWarning(png_structp, png_const_charp) {}

}  // namespace lumetra
