/* The typical use of the library by a host, through the C interface alone: a registry, a
 * 300 x 500 beam with its materials and bars, the interaction domain in Y,
 * the shear resistance of the concrete and the crack width. */
#include <stdio.h>
#include <stdlib.h>

#include <ferrolit/ferrolit.h>

#define COUNT(a) ((int32_t)(sizeof(a) / sizeof((a)[0])))

static void check(ferrolit_status status, const char* what) {
    if (status != FERROLIT_OK) {
        fprintf(stderr, "%s: error %d: %s\n", what, (int)status, ferrolit_last_error());
        exit(EXIT_FAILURE);
    }
}

static float get_single(ferrolit_object* object, const char* member) {
    ferrolit_value v = FERROLIT_VALUE_EMPTY;
    check(ferrolit_get(object, member, NULL, 0, &v), member);
    return v.u.single;
}

static void let_single(ferrolit_object* object, const char* member, float x) {
    ferrolit_value v = ferrolit_single(x);
    check(ferrolit_let(object, member, &v), member);
}

static void let_string(ferrolit_object* object, const char* member, const char* text) {
    ferrolit_value v = ferrolit_string(text);
    check(ferrolit_let(object, member, &v), member);
}

int main(void) {
    ferrolit_object* registry = NULL;
    check(ferrolit_create("clsGenVerSez", &registry), "clsGenVerSez");

    ferrolit_value section_args[14];
    section_args[0] = ferrolit_string("Trave");
    section_args[1] = ferrolit_string("Trave 300x500");
    section_args[2] = ferrolit_single(300); /* Base */
    section_args[3] = ferrolit_single(500); /* Altezza */
    section_args[4] = ferrolit_single(40);  /* Coprif_Inf */
    section_args[5] = ferrolit_single(40);  /* Coprif_Sup */
    section_args[6] = ferrolit_single(100); /* Med_y */
    section_args[7] = ferrolit_single(0);   /* Med_z */
    section_args[8] = ferrolit_single(0);   /* Ned_x */
    section_args[9] = ferrolit_single(0);   /* Taglio_y */
    section_args[10] = ferrolit_single(60); /* Taglio_z */
    section_args[11] = ferrolit_int16(2);   /* NferMin */
    section_args[12] = ferrolit_int16(12);  /* DferMin */
    section_args[13] = ferrolit_int16(24);  /* DferMax */
    check(ferrolit_call(registry, "CreaSezRett", section_args, COUNT(section_args), NULL), "CreaSezRett");

    const float concrete[] = {30, 25, 1.5f, 0.85f, 33, 2.56f, 1.79f, 3.33f, 31476, 0.002f, 0.0035f, 14.17f, 1.19f};
    const float steel[] = {450, 1.15f, 200000, 391.3f, 0.001957f, 0.0675f};
    ferrolit_value material_args[21];
    int32_t n = 0;
    material_args[n++] = ferrolit_string("C25/30");
    for (int32_t i = 0; i < COUNT(concrete); ++i) material_args[n++] = ferrolit_single(concrete[i]);
    material_args[n++] = ferrolit_string("B450C");
    for (int32_t i = 0; i < COUNT(steel); ++i) material_args[n++] = ferrolit_single(steel[i]);
    check(ferrolit_call(registry, "CreaMateriale_Sezione", material_args, n, NULL), "CreaMateriale_Sezione");

    ferrolit_value number = ferrolit_int16(1);
    ferrolit_value fetched = FERROLIT_VALUE_EMPTY;
    check(ferrolit_call(registry, "SezRet", &number, 1, &fetched), "SezRet");
    ferrolit_object* section = fetched.u.object;
    /* The section stays alive while this handle holds it. */
    ferrolit_release(registry);

    let_single(section, "As_inf", 603);
    let_string(section, "stringaAs_inf", "3f16");
    let_single(section, "As_sup", 226);
    let_string(section, "stringaAs_sup", "2f12");

    ferrolit_value domain_args[3] = {FERROLIT_VALUE_EMPTY, FERROLIT_VALUE_EMPTY, FERROLIT_VALUE_EMPTY};
    domain_args[0] = ferrolit_string("Y");
    check(ferrolit_get(section, "CalcolaNMDominioSezRett", domain_args, 3, NULL), "CalcolaNMDominioSezRett");
    if (!domain_args[1].u.boolean) {
        fprintf(stderr, "domain: %s\n", domain_args[2].u.string);
        return EXIT_FAILURE;
    }
    ferrolit_value points = FERROLIT_VALUE_EMPTY;
    check(ferrolit_get(section, "Ny_Dominio", &points, 1, NULL), "Ny_Dominio");
    printf("MrdY = %.2f kNm at Ned_x = 0 (%d points in the domain)\n", get_single(section, "MrdY"),
           (int)points.u.array.count - 1);

    ferrolit_value direction = ferrolit_string("Z");
    ferrolit_value vrd = FERROLIT_VALUE_EMPTY;
    check(ferrolit_get(section, "Vrd_cls", &direction, 1, &vrd), "Vrd_cls");
    printf("Vrd_cls(Z) = %.2f kN\n", vrd.u.single);

    ferrolit_value crack_args[2] = {FERROLIT_VALUE_EMPTY, FERROLIT_VALUE_EMPTY};
    check(ferrolit_get(section, "CalcolaWkFessure", crack_args, 2, NULL), "CalcolaWkFessure");
    if (!crack_args[0].u.boolean) {
        fprintf(stderr, "crack width: %s\n", crack_args[1].u.string);
        return EXIT_FAILURE;
    }
    printf("Wk = %.3f mm\n", get_single(section, "Wk"));

    ferrolit_value_clear(&points);
    for (int32_t i = 0; i < 3; ++i) ferrolit_value_clear(&domain_args[i]);
    for (int32_t i = 0; i < 2; ++i) ferrolit_value_clear(&crack_args[i]);
    ferrolit_value_clear(&fetched); /* releases the section */
    return EXIT_SUCCESS;
}
