// Runs the field widget test classes in one QApplication.
#include <QApplication>

int runDurationFieldEditTests(int argc, char** argv);
int runMoneyFieldEditTests(int argc, char** argv);
int runPromptsTests(int argc, char** argv);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    failed += runDurationFieldEditTests(argc, argv);
    failed += runMoneyFieldEditTests(argc, argv);
    failed += runPromptsTests(argc, argv);
    return failed;
}
