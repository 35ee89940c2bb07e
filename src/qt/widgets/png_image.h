#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <initializer_list>

// The program's own images are PNG files. Reading them as such, without asking which format
// they are, keeps the toolkit from loading every image plugin installed to find out.
QPixmap readPng(const QString& path);
// An icon of the given renderings, each read as PNG.
QIcon pngIcon(std::initializer_list<const char*> paths);
