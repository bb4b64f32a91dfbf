#include "StudentsSheet.h"

#include <random>

namespace qm::test {

std::string studentsCsv(int firstId, int count, unsigned seed) {
    std::mt19937 draw(seed);
    std::string csv =
        "学号,登分号,姓名,性别,数学,英语,语文,物理,政治,历史,体育,地理,生物,毕业学校,地址,备注,"
        "分类\n";
    for (int id = firstId; id < firstId + count; ++id) {
        csv += std::to_string(id) + ",R" + std::to_string(id) + ",学生" + std::to_string(id) +
               (draw() % 2 ? ",男" : ",女");
        for (int subject = 0; subject < 9; ++subject) {
            csv += "," + std::to_string(30 + draw() % 71);
        }
        csv += ",某中学,人民路" + std::to_string(id % 200) + "号," +
               (id % 97 == 0 ? std::to_string(id % 40 + 1) : "") + "," +
               (id % 13 == 0 ? "特长" : "") + "\n";
    }
    return csv;
}

}  // namespace qm::test
