/* SPDX-License-Identifier: MIT */
/* A loadable module that claims another interface version than the
 * program's, as an old or newer reader module would. */
__attribute__((visibility("default"))) int barquill_reader_version(void) {
    return 99;
}
