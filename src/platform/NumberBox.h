#pragma once

#include <QDoubleSpinBox>

// A number typed into a box, shown as the lists show it: 317, 12.5, never
// 317.0000. The box still takes as many decimals as it is set up for.
class NumberBox : public QDoubleSpinBox
{
public:
    using QDoubleSpinBox::QDoubleSpinBox;

    QString textFromValue(double value) const override;
};
