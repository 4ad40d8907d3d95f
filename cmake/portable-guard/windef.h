// Stands first on the include path of portable sources in the Windows builds: a portable source must not
// reach the Windows headers (it would then no longer build natively under the sanitizers).
#error "a portable source includes <windef.h>: move it to the WIN32 list of its folder, or keep the platform call behind a seam"
