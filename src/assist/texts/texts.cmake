# SPDX-License-Identifier: GPL-3.0-or-later
# The translation stores' texts, one file per window, compiled into kvt_assist as the resources
# ":/texts/<store>.tsv".
qt_add_resources(kvt_assist "kvt_texts"
  PREFIX "/texts"
  BASE ${CMAKE_CURRENT_SOURCE_DIR}/texts
  FILES
    ${CMAKE_CURRENT_SOURCE_DIR}/texts/TForm1.tsv
    ${CMAKE_CURRENT_SOURCE_DIR}/texts/TForm2.tsv
    ${CMAKE_CURRENT_SOURCE_DIR}/texts/TForm3.tsv
    ${CMAKE_CURRENT_SOURCE_DIR}/texts/TFormProgress.tsv)
