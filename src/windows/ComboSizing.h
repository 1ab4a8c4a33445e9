#pragma once

#include <QAbstractItemModel>
#include <QComboBox>
#include <QTimer>

// A combo box as wide as its longest item, also when its list is filled again later
// (port names, block numbers of another card size). A combo box does not reliably
// renew its place in a layout when items come, so once the list has settled its
// width is made a minimum that the layout must keep.
inline void sizeToItems(QComboBox *box)
{
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto *settle = new QTimer(box);
    settle->setSingleShot(true);
    settle->setInterval(0);
    QObject::connect(settle, &QTimer::timeout, box, [box] { box->setMinimumWidth(box->sizeHint().width()); });
    const auto changed = [settle] { settle->start(); };
    QObject::connect(box->model(), &QAbstractItemModel::rowsInserted, settle, changed);
    QObject::connect(box->model(), &QAbstractItemModel::rowsRemoved, settle, changed);
    QObject::connect(box->model(), &QAbstractItemModel::modelReset, settle, changed);
    box->setMinimumWidth(box->sizeHint().width());
}
