# What a barcode reader must find on a printed sheet, for the end-to-end
# scripts to source: the check characters worked out from the Code 39 table
# by hand, and the value of each cell of a sheet led by A0000/B0000/C0000.

# The Code 39 characters in the order of their modulo-43 values 0 to 42.
readonly CODE39_BY_VALUE='0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%'
readonly LEADING_LETTERS=(A B C)

check_character() {
    local value=$1 sum=0 i before
    for ((i = 0; i < ${#value}; i++)); do
        before=${CODE39_BY_VALUE%%"${value:i:1}"*}
        ((${#before} < 43)) && sum=$((sum + ${#before}))
    done
    printf '%s' "${CODE39_BY_VALUE:sum % 43:1}"
}

# The value of cell (row, column): type 0 labels carry a check character.
expected_value() {
    local type=$1 row=$2 column=$3 value
    value=${LEADING_LETTERS[column]}000$row
    [[ $type == 0 ]] && value+=$(check_character "$value")
    printf '%s' "$value"
}
